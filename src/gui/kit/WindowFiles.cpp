#include "gui/kit/WindowFiles.h"

#include "gui/kit/OperationHost.h"
#include "gui/kit/Prompter.h"

namespace {

void Report(OperationHost& host, const QString& message) {
    if (!message.isEmpty())
        host.Prompts().Error(host.HostWindow(), message);
}

const QString& MessageFor(WholeFileFailure failure, const FileLoad& load) {
    switch (failure) {
    case WholeFileFailure::CannotOpen:
        return load.cannotOpen;
    case WholeFileFailure::CannotRead:
        break;
    case WholeFileFailure::TooLarge:
        return load.tooLarge;
    }
    return load.cannotRead;
}

WholeFileLimits LimitsOf(const FileLoad& load) {
    return {.readLimit = load.readLimit, .sizeLimit = load.sizeLimit};
}

} // namespace

bool SaveWholeFile(OperationHost& host, const QString& path, const QByteArray& bytes,
                   const QString& failureMessage) {
    if (SaveWholeFile(path, bytes))
        return true;
    Report(host, failureMessage);
    return false;
}

std::optional<QByteArray> LoadWholeFile(OperationHost& host, const QString& path,
                                        const FileLoad& load) {
    WholeFileRead read = ReadWholeFile(path, LimitsOf(load));
    if (read.failure) {
        Report(host, MessageFor(*read.failure, load));
        return std::nullopt;
    }
    return std::move(read.bytes);
}

std::optional<qint64> CheckWholeFile(OperationHost& host, const QString& path,
                                     const FileLoad& load) {
    const WholeFileSize checked = CheckWholeFile(path, LimitsOf(load));
    if (checked.failure) {
        Report(host, MessageFor(*checked.failure, load));
        return std::nullopt;
    }
    return checked.size;
}
