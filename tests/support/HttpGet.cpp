#include "HttpGet.h"

#include "LoopbackSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

HttpAnswer HttpGet(int port, const std::string& pathAndQuery,
                   const std::vector<std::pair<std::string, std::string>>& headers, int timeoutMs) {
    HttpAnswer answer;
    const int fd = ConnectLoopback(static_cast<uint16_t>(port));
    if (fd < 0)
        return answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        return static_cast<int>(
            std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                     deadline - std::chrono::steady_clock::now())
                                     .count()));
    };
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    std::string request = "GET " + pathAndQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const auto& [name, value] : headers)
        request += name + ": " + value + "\r\n";
    request += "Connection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return answer;
    }
    std::string received;
    char buffer[16384];
    while (true) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, left()) <= 0)
            break;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    const size_t headerEnd = received.find("\r\n\r\n");
    if (received.rfind("HTTP/1.", 0) != 0 || headerEnd == std::string::npos)
        return answer;
    answer.status = std::atoi(received.c_str() + 9);
    answer.body = received.substr(headerEnd + 4);
    return answer;
}
