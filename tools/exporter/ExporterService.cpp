#include "ExporterService.h"

#include "PrinterProbe.h"

#include <memory>

ExporterService::ExporterService(Settings settings, const AllowList& allow, HostResolver resolve)
    : scheduler_(settings.maxProbes), metrics_([this] { return scheduler_.Running(); }),
      handler_(
          [&] {
              settings.request.stop = &stopping_;
              return settings.request;
          }(),
          allow, std::move(resolve),
          [this](const LinkAddress& target, ProbeModule module, ProbeClock::time_point deadline) {
              return scheduler_.Run(PrinterKey(target), deadline, [&] {
                  return ProbePrinter(target, module, deadline, &stopping_);
              });
          },
          metrics_),
      server_(
          [this](HttpRequest request, HttpServer::Respond respond) {
              Dispatch(std::move(request), std::move(respond));
          },
          settings.limits, [this](int status) { metrics_.Refused(status); }) {}

ExporterService::~ExporterService() {
    Stop();
}

bool ExporterService::Start(const std::string& listen, QString* error) {
    return server_.Start(listen, error);
}

void ExporterService::Stop() {
    stopping_ = true;
    scheduler_.Stop();
    server_.Stop();
    scheduler_.WaitIdle();
}

void ExporterService::Dispatch(HttpRequest request, HttpServer::Respond respond) {
    if (!RequestHandler::NeedsProbe(request)) {
        respond(handler_.Handle(request));
        return;
    }
    if (std::optional<HttpResponse> refusal = handler_.Screen(request)) {
        respond(std::move(*refusal));
        return;
    }
    // The task owns the request and the answer's way back; a task that never starts
    // leaves them here.
    auto shared = std::make_shared<std::pair<HttpRequest, HttpServer::Respond>>(std::move(request),
                                                                                std::move(respond));
    if (!scheduler_.Launch([this, shared] {
            HttpResponse response = handler_.Handle(shared->first);
            scheduler_.ReleaseSlot();
            shared->second(std::move(response));
        }))
        shared->second(handler_.Busy());
}
