#include "HttpServer.h"

#include <civetweb.h>

#include <mutex>

namespace {

const char* ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Internal Server Error";
    }
}

// civetweb prints its own errors to standard error; the exporter reports what matters itself.
int QuietLog(const mg_connection*, const char*) {
    return 1;
}

} // namespace

HttpServer::HttpServer(const RequestHandler& handler) : handler_(handler) {}

HttpServer::~HttpServer() {
    Stop();
}

bool HttpServer::Start(const std::string& listen, int threads, QString* error) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mg_init_library(0); });
    const std::string threadCount = std::to_string(threads);
    const char* options[] = {"listening_ports",
                             listen.c_str(),
                             "num_threads",
                             threadCount.c_str(),
                             "enable_keep_alive",
                             "no",
                             "request_timeout_ms",
                             "30000",
                             nullptr};
    mg_callbacks callbacks{};
    callbacks.begin_request = &HttpServer::BeginRequest;
    callbacks.log_message = &QuietLog;
    mg_init_data init{};
    init.callbacks = &callbacks;
    init.user_data = this;
    init.configuration_options = options;
    char failure[256] = {};
    unsigned code = 0;
    mg_error_data errors{};
    errors.code = &code;
    errors.text = failure;
    errors.text_buffer_size = sizeof failure;
    context_ = mg_start2(&init, &errors);
    if (!context_) {
        if (error)
            *error = QStringLiteral("cannot listen on %1: %2")
                         .arg(QString::fromStdString(listen), QString::fromUtf8(failure));
        return false;
    }
    mg_server_port ports[4] = {};
    if (mg_get_server_ports(context_, 4, ports) > 0)
        port_ = ports[0].port;
    return true;
}

void HttpServer::Stop() {
    if (context_)
        mg_stop(context_);
    context_ = nullptr;
}

int HttpServer::BeginRequest(mg_connection* connection) {
    const mg_request_info* info = mg_get_request_info(connection);
    const auto* self = static_cast<const HttpServer*>(mg_get_user_data(mg_get_context(connection)));
    HttpRequest request;
    request.method = info->request_method ? info->request_method : "";
    request.path = info->local_uri ? info->local_uri : "";
    request.query = info->query_string ? info->query_string : "";
    for (int i = 0; i < info->num_headers; ++i) {
        const mg_header& header = info->http_headers[i];
        request.headers.emplace_back(header.name ? header.name : "",
                                     header.value ? header.value : "");
    }
    const HttpResponse response = self->handler_.Handle(request);
    mg_printf(connection,
              "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\n"
              "Cache-Control: no-store\r\nConnection: close\r\n\r\n",
              response.status, ReasonPhrase(response.status), response.contentType.c_str(),
              response.body.size());
    if (request.method != "HEAD")
        mg_write(connection, response.body.data(), response.body.size());
    return 1;
}
