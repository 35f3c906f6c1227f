#include "BoundedResolve.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::vector<IpAddress> addresses;
    QString error;
};

} // namespace

std::vector<IpAddress> ResolveBefore(const HostResolver& resolve, const std::string& host,
                                     std::chrono::steady_clock::time_point deadline,
                                     const std::atomic<bool>* stop, QString* error) {
    if (const std::optional<IpAddress> numeric = IpAddress::FromText(host))
        return {*numeric};
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, resolve, host] {
            QString failure;
            std::vector<IpAddress> found = resolve(host, &failure);
            std::lock_guard lock(lookup->mutex);
            lookup->addresses = std::move(found);
            lookup->error = failure;
            lookup->finished = true;
            lookup->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        if (error)
            *error =
                QStringLiteral("%1: no thread to resolve it").arg(QString::fromStdString(host));
        return {};
    }
    std::unique_lock lock(lookup->mutex);
    // In slices, so a stop request is seen within one.
    constexpr auto kSlice = std::chrono::milliseconds(50);
    while (!lookup->finished && std::chrono::steady_clock::now() < deadline &&
           !(stop && stop->load()))
        lookup->done.wait_until(lock,
                                std::min(deadline, std::chrono::steady_clock::now() + kSlice));
    if (!lookup->finished) {
        if (error)
            *error = QStringLiteral("%1 did not resolve in time").arg(QString::fromStdString(host));
        return {};
    }
    if (error)
        *error = lookup->error;
    return lookup->addresses;
}
