#include "files/WholeFile.h"

#include "files/WholeFileWriter.h"

#include <QFile>

#include <algorithm>

namespace {

// Opens the file for reading and checks its size.
std::optional<WholeFileFailure> OpenForRead(QFile& file, const WholeFileLimits& limits) {
    if (!file.open(QIODevice::ReadOnly))
        return WholeFileFailure::CannotOpen;
    if (limits.sizeLimit >= 0 && file.size() > limits.sizeLimit)
        return WholeFileFailure::TooLarge;
    return std::nullopt;
}

} // namespace

bool SaveWholeFile(const QString& path, const QByteArray& bytes) {
    WholeFileWriter file(path);
    file.Write(bytes.constData(), bytes.size());
    return file.Commit();
}

WholeFileRead ReadWholeFile(const QString& path, const WholeFileLimits& limits) {
    QFile file(path);
    if (const std::optional<WholeFileFailure> failure = OpenForRead(file, limits))
        return {failure, {}};
    const qint64 want = limits.readLimit;
    QByteArray bytes = want >= 0 ? file.read(want) : file.readAll();
    // Short of the size the file had when it was opened: the read broke off. A file whose
    // size is not known beforehand (a pipe) is taken as it comes.
    const bool whole = file.isSequential() ||
                       bytes.size() >= (want >= 0 ? std::min(file.size(), want) : file.size());
    if (file.error() != QFileDevice::NoError || !whole)
        return {WholeFileFailure::CannotRead, {}};
    if (limits.sizeLimit >= 0 && bytes.size() > limits.sizeLimit)
        return {WholeFileFailure::TooLarge, {}};
    return {std::nullopt, bytes};
}

WholeFileSize CheckWholeFile(const QString& path, const WholeFileLimits& limits) {
    QFile file(path);
    if (const std::optional<WholeFileFailure> failure = OpenForRead(file, limits))
        return {failure, 0};
    return {std::nullopt, file.size()};
}
