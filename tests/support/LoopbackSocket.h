#pragma once

#include <cstdint>

// A blocking TCP connection to 127.0.0.1:port, as a plain program opens one; the descriptor,
// or -1 when it could not be made. The caller closes it.
int ConnectLoopback(uint16_t port);
