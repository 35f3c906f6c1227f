#include "files/WholeFile.h"

#include "gui/kit/OperationHost.h"
#include "gui/kit/Prompter.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

void Report(OperationHost& host, const QString& message) {
    if (!message.isEmpty())
        host.Prompts().Error(host.HostWindow(), message);
}

// Opens the file for reading and checks its size; the failure's message when either fails.
std::optional<QString> OpenForLoad(QFile& file, const FileLoad& load) {
    if (!file.open(QIODevice::ReadOnly))
        return load.cannotOpen;
    if (load.sizeLimit >= 0 && file.size() > load.sizeLimit)
        return load.tooLarge;
    return std::nullopt;
}

} // namespace

bool SaveWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
        return file.commit();
    file.cancelWriting();
    return false;
}

bool SaveWholeFile(OperationHost& host, const QString& path, const QByteArray& bytes,
                   const QString& failureMessage) {
    if (SaveWholeFile(path, bytes))
        return true;
    Report(host, failureMessage);
    return false;
}

std::optional<QByteArray> LoadWholeFile(OperationHost& host, const QString& path,
                                        const FileLoad& load) {
    QFile file(path);
    if (const std::optional<QString> failure = OpenForLoad(file, load)) {
        Report(host, *failure);
        return std::nullopt;
    }
    const qint64 want = load.readLimit;
    QByteArray bytes = want >= 0 ? file.read(want) : file.readAll();
    // Short of the size the file had when it was opened: the read broke off. A file whose
    // size is not known beforehand (a pipe) is taken as it comes.
    const bool whole = file.isSequential() ||
                       bytes.size() >= (want >= 0 ? std::min(file.size(), want) : file.size());
    if (file.error() != QFileDevice::NoError || !whole) {
        Report(host, load.cannotRead);
        return std::nullopt;
    }
    if (load.sizeLimit >= 0 && bytes.size() > load.sizeLimit) {
        Report(host, load.tooLarge);
        return std::nullopt;
    }
    return bytes;
}

std::optional<qint64> CheckWholeFile(OperationHost& host, const QString& path,
                                     const FileLoad& load) {
    QFile file(path);
    if (const std::optional<QString> failure = OpenForLoad(file, load)) {
        Report(host, *failure);
        return std::nullopt;
    }
    return file.size();
}
