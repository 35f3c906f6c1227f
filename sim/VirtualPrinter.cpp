#include "VirtualPrinter.h"

#include "SimText.h"

#include <algorithm>

namespace sim {

namespace {

constexpr char kEsc = 0x1B;

} // namespace

VirtualPrinter::VirtualPrinter() {
    AddLineHandler("DIAGNOSTIC INTERFACE",
                   [](VirtualPrinter&, std::string_view line, std::string& reply) {
                       std::string_view which =
                           Trimmed(line.substr(std::string_view("DIAGNOSTIC INTERFACE").size()));
                       reply += Frame(which);
                   });
    AddLineHandler("DIAGNOSTIC REPORT", [](VirtualPrinter& printer, std::string_view line,
                                           std::string& reply) {
        const std::string key(Trimmed(line.substr(std::string_view("DIAGNOSTIC REPORT").size())));
        auto it = printer.reports_.find(key);
        std::string value;
        if (it != printer.reports_.end() && it->second(printer, value))
            reply += Frame(value);
    });
    AddLineHandler("OUT _SERIAL$",
                   [](VirtualPrinter& printer, std::string_view, std::string& reply) {
                       reply += printer.serialNumber + "\r\n";
                   });
}

VirtualPrinter::~VirtualPrinter() = default;

std::string VirtualPrinter::Frame(std::string_view data) {
    return "{" + std::to_string(data.size()) + "|" + std::string(data) + "}";
}

void VirtualPrinter::AddRecognizer(Recognizer recognizer) {
    auto lock = Lock();
    recognizers_.push_back(std::move(recognizer));
}

void VirtualPrinter::AddLineHandler(std::string prefix, LineHandler handler) {
    auto lock = Lock();
    lineHandlers_.emplace_back(std::move(prefix), std::move(handler));
    // The longest prefix wins, so "SET COM1" can sit beside "SET".
    std::stable_sort(lineHandlers_.begin(), lineHandlers_.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

void VirtualPrinter::AddReportKey(std::string key, ReportHandler handler) {
    auto lock = Lock();
    reports_[std::move(key)] = std::move(handler);
}

void VirtualPrinter::SetReportValue(const std::string& key, std::string value) {
    AddReportKey(key, [value = std::move(value)](VirtualPrinter&, std::string& out) {
        out = value;
        return true;
    });
}

void VirtualPrinter::RemoveReportKey(const std::string& key) {
    auto lock = Lock();
    reports_.erase(key);
}

bool VirtualPrinter::HasReportKey(const std::string& key) const {
    auto lock = Lock();
    return reports_.count(key) != 0;
}

std::string VirtualPrinter::Received() const {
    auto lock = Lock();
    return received_;
}

uint64_t VirtualPrinter::ReceivedCount() const {
    auto lock = Lock();
    return receivedCount_;
}

void VirtualPrinter::ClearReceived() {
    auto lock = Lock();
    received_.clear();
    receivedCount_ = 0;
    commands_.clear();
}

std::vector<std::string> VirtualPrinter::Commands() const {
    auto lock = Lock();
    return commands_;
}

void VirtualPrinter::NoteCommand(std::string command) {
    auto lock = Lock();
    commands_.push_back(std::move(command));
    // Trimmed in halves, so the cost per command stays constant.
    if (commandLimit > 0 && commands_.size() > 2 * commandLimit)
        commands_.erase(commands_.begin(),
                        commands_.end() - static_cast<std::ptrdiff_t>(commandLimit));
}

void VirtualPrinter::Reset() {
    auto lock = Lock();
    statusByte = 0;
    std::fill(std::begin(extendedStatus), std::end(extendedStatus), 0);
    for (auto& [type, module] : modules_)
        module->Reset();
}

Match VirtualPrinter::RecognizeEscape(std::string_view pending, std::string& reply) {
    if (pending.empty() || pending[0] != kEsc)
        return Match::None();
    if (pending.size() < 2)
        return Match::More();
    if (pending[1] == 'Z') {
        // ESC Z CR LF leaves line mode.
        if (pending.size() < 4)
            return Match::More();
        const size_t length = (pending[2] == '\r' && pending[3] == '\n') ? 4 : 2;
        ++lineModeExits;
        NoteCommand(std::string(pending.substr(0, length)));
        return Match::Took(length);
    }
    if (pending[1] != '!') {
        NoteCommand(std::string(pending.substr(0, 2)));
        return Match::Took(2);
    }
    if (pending.size() < 3)
        return Match::More();
    const char which = pending[2];
    size_t length = 3;
    if (which == '?') {
        reply.push_back(static_cast<char>(statusByte));
    } else if (which == 'S') {
        if (pending.size() < 5)
            return Match::More();
        if (pending[3] == '\r' && pending[4] == '\n')
            length = 5;
        if (answersExtendedStatus)
            reply.append(reinterpret_cast<const char*>(extendedStatus), 8);
    } else if (which == 'C') {
        ++autoBasSkips;
    } else if (which == 'R') {
        ++resets;
        NoteCommand(std::string(pending.substr(0, length)));
        Reset();
        return Match::Took(length);
    }
    NoteCommand(std::string(pending.substr(0, length)));
    return Match::Took(length);
}

void VirtualPrinter::HandleLine(std::string_view line, std::string& reply) {
    NoteCommand(std::string(line));
    const std::string_view text = Trimmed(line);
    for (const auto& [prefix, handler] : lineHandlers_) {
        if (text.substr(0, prefix.size()) == prefix) {
            handler(*this, text, reply);
            return;
        }
    }
}

std::string VirtualPrinter::Receive(std::string_view bytes) {
    auto lock = Lock();
    return Receive(shared_, bytes);
}

std::string VirtualPrinter::Receive(Input& input, std::string_view bytes) {
    auto lock = Lock();
    receivedCount_ += bytes.size();
    received_.append(bytes);
    if (receivedLimit > 0 && received_.size() > 2 * receivedLimit)
        received_.erase(0, received_.size() - receivedLimit);

    std::string reply;
    if (input.droppingLine) {
        const size_t end = bytes.find('\n');
        if (end == std::string_view::npos)
            return reply;
        input.droppingLine = false;
        bytes.remove_prefix(end + 1);
    }
    std::string& pending = input.pending;
    pending.append(bytes);
    size_t at = 0;
    while (at < pending.size()) {
        const std::string_view rest = std::string_view(pending).substr(at);
        Match match = RecognizeEscape(rest, reply);
        for (size_t i = 0; match.kind == Match::NoMatch && i < recognizers_.size(); ++i)
            match = recognizers_[i](*this, rest, reply);
        if (match.kind == Match::NeedMore)
            break;
        if (match.kind == Match::Consumed) {
            at += std::min(std::max<size_t>(match.length, 1), rest.size());
            input.scanned = 0;
            continue;
        }
        // Only the bytes that came since the last search are searched again.
        const size_t end = rest.find('\n', std::min(input.scanned, rest.size()));
        if (end == std::string_view::npos) {
            input.scanned = rest.size();
            if (rest.size() > kLongestLine) {
                input.droppingLine = true;
                at = pending.size();
                input.scanned = 0;
            }
            break;
        }
        input.scanned = 0;
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            HandleLine(line, reply);
        at += end + 1;
    }
    pending.erase(0, at);
    if (pending.capacity() > kLongestLine && pending.size() < pending.capacity() / 4)
        pending.shrink_to_fit();
    return reply;
}

} // namespace sim
