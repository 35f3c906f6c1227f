#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

// One HTTP request as the handler sees it: no sockets, so tests and the fuzz target can
// call the handler directly.
struct HttpRequest {
    std::string method = "GET";
    std::string path;
    // The raw query after "?", still percent-encoded.
    std::string query;
    std::vector<std::pair<std::string, std::string>> headers;
    // When the connection carrying it was accepted: a probe's time counts from here.
    std::chrono::steady_clock::time_point arrival = std::chrono::steady_clock::now();
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};
