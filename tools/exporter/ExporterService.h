#pragma once

#include "AllowList.h"
#include "ExporterMetrics.h"
#include "HttpServer.h"
#include "ProbeScheduler.h"
#include "RequestHandler.h"

#include <atomic>
#include <string>

// The whole exporter on one address: the HTTP server answers /metrics, refusals and
// malformed requests on its own thread at once, and hands every probe request to a probe
// thread of the scheduler (503 at once when none can be had).
class ExporterService {
public:
    struct Settings {
        RequestHandler::Settings request;
        int maxProbes = 4096;
        HttpServer::Limits limits;
    };

    ExporterService(Settings settings, const AllowList& allow, HostResolver resolve);
    ~ExporterService();
    ExporterService(const ExporterService&) = delete;
    ExporterService& operator=(const ExporterService&) = delete;

    bool Start(const std::string& listen, QString* error);
    // Ends every probe's waits, answers the scrapes under way (or closes them) and stops
    // listening; returns when every probe thread has ended.
    void Stop();
    int Port() const { return server_.Port(); }
    const ProbeScheduler& Scheduler() const { return scheduler_; }

private:
    void Dispatch(HttpRequest request, HttpServer::Respond respond);

    std::atomic<bool> stopping_{false};
    ProbeScheduler scheduler_;
    ExporterMetrics metrics_;
    RequestHandler handler_;
    HttpServer server_;
};
