#pragma once

#include <string>
#include <utility>
#include <vector>

// The answer of one HTTP request; status 0 when there was none (refused, timed out,
// not HTTP).
struct HttpAnswer {
    int status = 0;
    std::string body;
};

// GET of a path on 127.0.0.1:port over a connection of its own, every wait bounded by
// timeoutMs.
HttpAnswer HttpGet(int port, const std::string& pathAndQuery,
                   const std::vector<std::pair<std::string, std::string>>& headers = {},
                   int timeoutMs = 5000);
