#include "FirmwareModule.h"

#include "ConfigModule.h"

#include <algorithm>
#include <chrono>
#include <string_view>

namespace sim {

namespace {

constexpr std::string_view kFirmwareTag = "TARNVIK-FIRMWARE ";
constexpr size_t kLongestVersion = 63;
constexpr size_t kLargestImage = size_t{64} << 20;
// Tag, version, space, size digits and line end.
constexpr size_t kLongestHeader = kFirmwareTag.size() + kLongestVersion + 1 + 9 + 2;

struct FirmwareHeader {
    std::string version;
    size_t imageSize = 0;
    size_t length = 0; // of the header line with its line end
};

// The header at the front of pending: Consumed (header parsed), NeedMore, or NoMatch.
Match::Kind ParseHeader(std::string_view pending, FirmwareHeader& header) {
    const size_t compared = std::min(pending.size(), kFirmwareTag.size());
    if (pending.substr(0, compared) != kFirmwareTag.substr(0, compared))
        return Match::NoMatch;
    // Only the first bytes can hold the header, however much of the image has arrived.
    const size_t end = pending.substr(0, kLongestHeader + 1).find('\n');
    if (end == std::string_view::npos)
        return pending.size() > kLongestHeader ? Match::NoMatch : Match::NeedMore;
    std::string_view line = pending.substr(kFirmwareTag.size(), end - kFirmwareTag.size());
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos || space > kLongestVersion)
        return Match::NoMatch;
    const std::string_view version = line.substr(0, space);
    for (char c : version) {
        if (c <= 0x20 || c >= 0x7F)
            return Match::NoMatch;
    }
    const std::string_view size = line.substr(space + 1);
    if (size.empty() || size.size() > 9)
        return Match::NoMatch;
    size_t value = 0;
    for (char c : size) {
        if (c < '0' || c > '9')
            return Match::NoMatch;
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    if (value > kLargestImage)
        return Match::NoMatch;
    header = {std::string(version), value, end + 1};
    return Match::Consumed;
}

} // namespace

std::string FirmwareModule::FileHeader(const std::string& version, size_t imageSize) {
    return std::string(kFirmwareTag) + version + " " + std::to_string(imageSize) + "\r\n";
}

void FirmwareModule::Install(VirtualPrinter& printer) {
    printer.AddRecognizer([this](VirtualPrinter& p, std::string_view pending, std::string&) {
        FirmwareHeader header;
        const Match::Kind kind = ParseHeader(pending, header);
        if (kind != Match::Consumed)
            return kind == Match::NeedMore ? Match::More() : Match::None();
        if (pending.size() - header.length < header.imageSize)
            return Match::More();
        p.NoteCommand(std::string(pending.substr(0, header.length - 1)));
        ++imagesTaken;
        lastVersion = header.version;
        if (ConfigModule* config = p.Module<ConfigModule>())
            config->SetVersion(header.version);
        p.offlineUntil = p.faults.deadAfterFirmware ? std::chrono::steady_clock::time_point::max()
                                                    : std::chrono::steady_clock::now() +
                                                          std::chrono::milliseconds(restartMs);
        return Match::Took(header.length + header.imageSize);
    });
    // A configuration module installed before reports the edition of its own profile.
    if (printer.HasReportKey("EDITION"))
        return;
    printer.AddReportKey("EDITION", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(edition);
        return true;
    });
}

int EditionOf(const VirtualPrinter& printer) {
    const FirmwareModule* firmware = printer.Module<FirmwareModule>();
    return firmware ? firmware->edition : FirmwareModule::kDefaultEdition;
}

} // namespace sim
