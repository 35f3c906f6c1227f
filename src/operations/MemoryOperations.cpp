#include "operations/MemoryOperations.h"

#include "link/FixedText.h"
#include "link/PrinterLink.h"
#include "operations/CommandText.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

#include <QFile>

#include <chrono>
#include <new>
#include <vector>

namespace {

// Fills the known flag and the value of a space report; the packed fields are assigned
// through the area, never bound to references.
enum class Space { Physical, Free };

LinkError QuerySpace(LinkSession& session, const char* command, MemoryArea& area, Space which) {
    char reply[1024];
    int length = 0;
    if (const LinkError code = QueryFramed(session, command, reply, sizeof reply, &length);
        code != LinkOk)
        return code;
    const int32_t value = ParseReplyNumber(reply);
    if (which == Space::Physical) {
        area.physicalKnown = 1;
        area.physicalSpace = value;
    } else {
        area.freeKnown = 1;
        area.freeSpace = value;
    }
    return LinkOk;
}

LinkError QueryList(LinkSession& session, const char* command, MemoryArea& area) {
    int total = 0;
    return QueryFramedList(session, command, area.fileList, sizeof area.fileList, &total);
}

} // namespace

bool ValidMemoryIndex(int32_t memory) {
    return memory >= MemoryDram && memory <= MemoryCard;
}

const char* MemoryPrefix(int32_t memory) {
    switch (memory) {
    case MemoryFlash:
        return "F,";
    case MemoryCard:
        return "E,";
    default:
        return "";
    }
}

const char* StoredCommand(int32_t memory) {
    switch (memory) {
    case MemoryDram:
        return "KILL \"*.*\"\r\n";
    case MemoryFlash:
        return "KILL F,\"*.*\"\r\n";
    case MemoryCard:
        return "KILL E,\"*.*\"\r\n";
    default:
        return "";
    }
}

std::string DownloadHeader(int32_t memory, const std::string& printerName, uint32_t size) {
    return FormatCommand("DOWNLOAD %s\"%s\",%u,", MemoryPrefix(memory), printerName.c_str(), size);
}

LinkError ReadMemoryInfo(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    auto& info = *static_cast<MemoryInfo*>(buffer);
    MemoryArea& dram = info.areas[MemoryDram];
    MemoryArea& flash = info.areas[MemoryFlash];
    MemoryArea& card = info.areas[MemoryCard];
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    LinkError code = AnnounceInterface(session);
    if (code == LinkOk)
        code = QuerySpace(session, "DIAGNOSTIC REPORT DPHYSPACE\r\n", dram, Space::Physical);
    if (code == LinkOk)
        code = QuerySpace(session, "DIAGNOSTIC REPORT DFREESPACE\r\n", dram, Space::Free);
    if (code == LinkOk)
        code = QueryList(session, "DIAGNOSTIC REPORT DFILELIST\r\n", dram);
    if (code == LinkOk)
        code = QuerySpace(session, "DIAGNOSTIC REPORT FPHYSPACE\r\n", flash, Space::Physical);
    if (code == LinkOk)
        code = QuerySpace(session, "DIAGNOSTIC REPORT FFREESPACE\r\n", flash, Space::Free);
    if (code == LinkOk)
        code = QueryList(session, "DIAGNOSTIC REPORT FFILELIST\r\n", flash);
    if (code == LinkOk) {
        code = QuerySpace(session, "DIAGNOSTIC REPORT CPHYSPACE\r\n", card, Space::Physical);
        // The card's free space is never asked.
        if (code == LinkOk)
            card.freeKnown = 0;
    }
    if (code == LinkOk)
        code = QueryList(session, "DIAGNOSTIC REPORT CFILELIST\r\n", card);
    return code;
}

LinkError DownloadFile(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const auto* request = static_cast<const DownloadRequest*>(buffer);
    if (!ValidMemoryIndex(request->memory) || !request->printerName ||
        !QuotableText(request->printerName))
        return LinkUnknownError;
    if (!request->localPath)
        return LinkFileOpenError;

    QFile file(QString::fromLocal8Bit(request->localPath));
    if (!file.open(QIODevice::ReadOnly))
        return LinkFileOpenError;
    // Only the low 32 bits of the size are used.
    const uint32_t size = static_cast<uint32_t>(static_cast<uint64_t>(file.size()));
    std::vector<char> bytes;
    try {
        bytes.resize(static_cast<size_t>(size) + 1);
    } catch (const std::bad_alloc&) {
        return LinkFileOpenError;
    }
    if (size > 0 && file.read(bytes.data(), size) != static_cast<qint64>(size))
        return LinkFileOpenError;
    bytes[size] = '\0';
    file.close();

    const std::string header = DownloadHeader(request->memory, request->printerName, size);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (!session.Write(header))
        return LinkTransmissionError;
    return session.WriteShowingProgress(bytes.data(), size) ? LinkOk : LinkTransmissionError;
}

LinkError SendStoredCommand(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const int32_t memory = *static_cast<const int32_t*>(buffer);
    if (!ValidMemoryIndex(memory))
        return LinkUnknownError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return SendCommandText(session, StoredCommand(memory));
}

LinkError ReadPrinterFile(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    auto* request = static_cast<PrinterFileRequest*>(buffer);
    const std::string name = FixedBytes(request->fileName);
    if (!QuotableText(name))
        return LinkUnknownError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (!session.Write("\r\n"))
        return LinkTransmissionError;
    // A cancelled pause fails the request as its write would.
    const LinkWait& waits = link.Waits();
    if (!waits.Pause(std::chrono::milliseconds(link.Timeouts().fileRequestPauseMs)))
        return LinkTransmissionError;
    const std::string command = FormatCommand("DIAGNOSTIC FILE \"%s\"\r\n\r\n", name.c_str());
    if (!waits.Pause(std::chrono::milliseconds(link.Timeouts().fileCommandPauseMs)))
        return LinkTransmissionError;
    // Without a buffer nothing fits; the reader then refuses every frame.
    char empty[1] = {};
    char* target = request->buffer ? request->buffer : empty;
    const int capacity = request->buffer ? request->capacity : 0;
    int length = 0;
    const LinkError code = QueryFramed(session, command.c_str(), target, capacity, &length);
    if (code == LinkOk)
        request->length = length;
    return code;
}
