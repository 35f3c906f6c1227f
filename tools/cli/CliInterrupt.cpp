#include "CliInterrupt.h"

#include <csignal>

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void Interrupt(int) {
    interrupted.store(true);
}

} // namespace

const std::atomic<bool>& CliInterrupted() {
    return interrupted;
}

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = Interrupt;
    sigemptyset(&action.sa_mask);
    // The handler stays only for the first signal.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
