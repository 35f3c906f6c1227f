#pragma once

#include "HttpExchange.h"

#include <string_view>

// Reads a request head (the request line and the header lines, without the blank line
// that ends it) into `request`. Returns 0 when it is one, 431 when it has more than
// `mostHeaders` header lines, 400 when it is broken.
int ParseHttpHead(std::string_view head, size_t mostHeaders, HttpRequest& request);
