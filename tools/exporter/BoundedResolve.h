#pragma once

#include "HostResolver.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

// Resolves `host` with `resolve` but waits for it only until `deadline` (or until `stop` is
// set): a name goes to the resolver on a helper thread of its own, which finishes on its
// own when the answer comes late. A numeric address is read at once.
std::vector<IpAddress> ResolveBefore(const HostResolver& resolve, const std::string& host,
                                     std::chrono::steady_clock::time_point deadline,
                                     const std::atomic<bool>* stop, QString* error);
