#pragma once

#include "RequestHandler.h"

#include <QString>

#include <string>

struct mg_context;
struct mg_connection;

// Serves the request handler over HTTP (civetweb), one worker thread per connection being
// answered, without keep-alive.
class HttpServer {
public:
    explicit HttpServer(const RequestHandler& handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on the IPv4 "ADDR:PORT" (port 0 takes a free one) with that many worker
    // threads; false with a reason when it cannot.
    bool Start(const std::string& listen, int threads, QString* error);
    void Stop();
    // The port listened on (the one taken when 0 was asked).
    int Port() const { return port_; }

private:
    static int BeginRequest(mg_connection* connection);

    const RequestHandler& handler_;
    mg_context* context_ = nullptr;
    int port_ = 0;
};
