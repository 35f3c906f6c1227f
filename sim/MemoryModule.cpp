#include "MemoryModule.h"

#include "SimText.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::string_view kDownload = "DOWNLOAD ";
// A DOWNLOAD header longer than this is not one the printer understands.
constexpr size_t kLongestHeader = 512;
// No memory holds more (the card has 64 MiB); a larger size is refused with its header.
constexpr size_t kLargestDownload = size_t{64} << 20;

const char* const kLetters[MemoryModule::kDeviceCount] = {"D", "F", "C"};

int DeviceOfPrefix(std::string_view& rest) {
    if (rest.substr(0, 2) == "F,") {
        rest.remove_prefix(2);
        return MemoryModule::Flash;
    }
    if (rest.substr(0, 2) == "E,") {
        rest.remove_prefix(2);
        return MemoryModule::Card;
    }
    return MemoryModule::Dram;
}

long Kilobytes(size_t bytes) {
    return static_cast<long>((bytes + 1023) / 1024);
}

} // namespace

void MemoryModule::Reset() {
    memories[Dram] = Memory{2048, true, {}};
    memories[Flash] = Memory{4096, true, {}};
    memories[Card] = Memory{65536, true, {}};
    refusedDownloads = 0;
    fileRequests = 0;
    missingFileRequests = 0;
}

int MemoryModule::FreeKb(int device) const {
    const Memory& memory = memories[device];
    long used = 0;
    for (const File& file : memory.files)
        used += Kilobytes(file.data.size());
    return static_cast<int>(std::max<long>(0, memory.physicalKb - used));
}

const MemoryModule::File* MemoryModule::Find(int device, const std::string& name) const {
    for (const File& file : memories[device].files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

const MemoryModule::File* MemoryModule::FindAnywhere(const std::string& name) const {
    for (int device = 0; device < kDeviceCount; ++device) {
        if (const File* file = Find(device, name); file && memories[device].present)
            return file;
    }
    return nullptr;
}

bool MemoryModule::Store(int device, const std::string& name, std::string data) {
    Memory& memory = memories[device];
    if (!memory.present)
        return false;
    const File* old = Find(device, name);
    const long freed = old ? Kilobytes(old->data.size()) : 0;
    if (Kilobytes(data.size()) > FreeKb(device) + freed)
        return false;
    Kill(device, name);
    memory.files.push_back({name, std::move(data)});
    return true;
}

int MemoryModule::Kill(int device, const std::string& pattern) {
    auto& files = memories[device].files;
    const size_t before = files.size();
    if (pattern == "*.*" || pattern == "*")
        files.clear();
    else
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const File& file) { return file.name == pattern; }),
                    files.end());
    return static_cast<int>(before - files.size());
}

void MemoryModule::Install(VirtualPrinter& printer) {
    Reset();

    // DOWNLOAD [F,|E,]"name",size, followed by exactly size bytes of the file.
    printer.AddRecognizer([this](VirtualPrinter& p, std::string_view pending, std::string&) {
        if (pending.size() < kDownload.size())
            return kDownload.substr(0, pending.size()) == pending ? Match::More() : Match::None();
        if (pending.substr(0, kDownload.size()) != kDownload)
            return Match::None();
        std::string_view rest = pending.substr(kDownload.size());
        if (rest.size() < 2)
            return Match::More();
        const int device = DeviceOfPrefix(rest);
        if (rest.empty())
            return Match::More();
        if (rest.front() != '"')
            return Match::None();
        const size_t close = rest.find('"', 1);
        if (close == std::string_view::npos)
            return pending.size() > kLongestHeader ? Match::None() : Match::More();
        const std::string name(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        if (rest.empty())
            return Match::More();
        if (rest.front() != ',')
            return Match::None();
        rest.remove_prefix(1);
        size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        if (digits == rest.size())
            return pending.size() > kLongestHeader ? Match::None() : Match::More();
        if (digits == 0 || rest[digits] != ',')
            return Match::None();
        const size_t headerLength = pending.size() - rest.size() + digits + 1;
        // Counted with saturation, so a size of any length is safe to read.
        size_t size = 0;
        for (size_t i = 0; i < digits && size <= kLargestDownload; ++i)
            size = size * 10 + static_cast<size_t>(rest[i] - '0');
        if (size > kLargestDownload) {
            // Too large for any memory: the header is refused and what follows is read as
            // commands again.
            p.NoteCommand(std::string(pending.substr(0, headerLength)));
            ++refusedDownloads;
            return Match::Took(headerLength);
        }
        if (pending.size() - headerLength < size)
            return Match::More();
        p.NoteCommand(std::string(pending.substr(0, headerLength)));
        if (!Store(device, name, std::string(pending.substr(headerLength, size))))
            ++refusedDownloads;
        return Match::Took(headerLength + size);
    });

    printer.AddLineHandler("KILL", [this](VirtualPrinter&, std::string_view line, std::string&) {
        std::string_view rest = ArgumentsAfter(line, "KILL");
        const int device = DeviceOfPrefix(rest);
        Kill(device, QuotedText(rest));
    });

    printer.AddLineHandler("DIAGNOSTIC FILE",
                           [this](VirtualPrinter&, std::string_view line, std::string& reply) {
                               ++fileRequests;
                               const File* file = FindAnywhere(QuotedText(line));
                               if (!file) {
                                   ++missingFileRequests;
                                   return;
                               }
                               reply += VirtualPrinter::Frame(file->data);
                           });

    for (int device = 0; device < kDeviceCount; ++device) {
        const std::string letter = kLetters[device];
        printer.AddReportKey(letter + "PHYSPACE", [this, device](VirtualPrinter&, std::string& v) {
            v = std::to_string(memories[device].present ? memories[device].physicalKb : 0);
            return true;
        });
        printer.AddReportKey(letter + "FREESPACE", [this, device](VirtualPrinter&, std::string& v) {
            v = std::to_string(memories[device].present ? FreeKb(device) : 0);
            return true;
        });
        // The file list comes as one frame per file and an empty frame at its end.
        printer.AddLineHandler(
            "DIAGNOSTIC REPORT " + letter + "FILELIST",
            [this, device](VirtualPrinter&, std::string_view, std::string& reply) {
                if (memories[device].present) {
                    for (const File& file : memories[device].files)
                        reply += VirtualPrinter::Frame(file.name);
                }
                reply += VirtualPrinter::Frame("");
            });
    }
}

} // namespace sim
