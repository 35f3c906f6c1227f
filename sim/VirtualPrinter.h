#pragma once

#include "Faults.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

namespace sim {

class VirtualPrinter;

// A part of the printer (configuration, memories, sensors, LAN settings, ...): its own
// state and the commands it answers. Installed once; Reset puts its factory state back.
class SimModule {
public:
    virtual ~SimModule() = default;
    virtual void Install(VirtualPrinter& printer) = 0;
    virtual void Reset() {}
};

// How a recognizer judged the bytes waiting at the front of the input.
struct Match {
    enum Kind { NoMatch, NeedMore, Consumed };
    Kind kind = NoMatch;
    size_t length = 0;

    static Match None() { return {NoMatch, 0}; }
    static Match More() { return {NeedMore, 0}; }
    static Match Took(size_t n) { return {Consumed, n}; }
};

// The printer's side of the command language: splits what arrives into commands
// (escape sequences, CR LF lines, headers followed by binary data), answers them from
// its state and records every byte it received.
class VirtualPrinter {
public:
    // What one connection has sent that is not a whole command yet. Each TCP client has
    // its own, so a client that leaves in the middle of a command cannot turn the next
    // client's commands into its data.
    struct Input {
        std::string pending;
        // Bytes at the front of pending known to hold no line end.
        size_t scanned = 0;
        // A line grew past kLongestLine: its bytes are dropped up to its line end.
        bool droppingLine = false;
    };

    // The longest line kept; the rest of a longer one is dropped unhandled.
    static constexpr size_t kLongestLine = 1 << 20;

    // Sees the waiting input; may consume a command that is not a plain line.
    using Recognizer =
        std::function<Match(VirtualPrinter&, std::string_view pending, std::string& reply)>;
    // Handles one line (without its CR LF) that starts with the registered prefix.
    using LineHandler =
        std::function<void(VirtualPrinter&, std::string_view line, std::string& reply)>;
    // Value of "DIAGNOSTIC REPORT <key>"; false: the printer does not know the key and
    // stays silent.
    using ReportHandler = std::function<bool(VirtualPrinter&, std::string& value)>;

    VirtualPrinter();
    ~VirtualPrinter();

    // Feeds bytes that came over the link; returns what the printer sends back. Without an
    // input of its own the bytes continue the printer's one shared input (the serial and
    // parallel lines).
    std::string Receive(std::string_view bytes);
    std::string Receive(Input& input, std::string_view bytes);

    // What was received since construction or ClearReceived, at most the last
    // receivedLimit bytes of it.
    std::string Received() const;
    // How many bytes were received since construction or ClearReceived.
    uint64_t ReceivedCount() const;
    void ClearReceived();
    // The complete commands handled so far, in order (lines without CR LF, escape
    // sequences as their bytes); at most the last commandLimit of them.
    std::vector<std::string> Commands() const;

    // Bounds of the records kept for tests, so that a long session stays small.
    size_t receivedLimit = 8 << 20;
    size_t commandLimit = 100000;

    // Factory state of every module, and the status bytes.
    void Reset();

    // Locks the printer for a test or a module reading its state across calls.
    std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }

    void AddRecognizer(Recognizer recognizer);
    void AddLineHandler(std::string prefix, LineHandler handler);
    void AddReportKey(std::string key, ReportHandler handler);
    void SetReportValue(const std::string& key, std::string value);
    void RemoveReportKey(const std::string& key);
    bool HasReportKey(const std::string& key) const;

    template <class T, class... Args> T& AddModule(Args&&... args) {
        auto module = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *module;
        modules_[std::type_index(typeid(T))] = std::move(module);
        ref.Install(*this);
        return ref;
    }
    template <class T> T* Module() const {
        auto it = modules_.find(std::type_index(typeid(T)));
        return it == modules_.end() ? nullptr : static_cast<T*>(it->second.get());
    }

    // Records a command as handled (recognizers call it for what they consume).
    void NoteCommand(std::string command);

    // Status byte answered to ESC ! ? and the 8 bytes answered to ESC ! S CR LF.
    uint8_t statusByte = 0;
    uint8_t extendedStatus[8] = {};
    // When false the extended status query gets no answer (older firmware).
    bool answersExtendedStatus = true;
    // How the transports misbehave (read and changed under Lock()).
    Faults faults;
    // A restart after new firmware: until this time the printer is off. Its servers drop
    // every connection and take none, and what reaches its lines is lost. Under Lock().
    std::chrono::steady_clock::time_point offlineUntil{};
    bool Offline() const { return std::chrono::steady_clock::now() < offlineUntil; }
    // Escape commands seen (ESC ! R, ESC ! C, ESC Z); a reset does not clear them.
    int resets = 0;
    int autoBasSkips = 0;
    int lineModeExits = 0;
    // The plain line answered to OUT _SERIAL$.
    std::string serialNumber = "SIM0000001";

    static std::string Frame(std::string_view data);

private:
    void HandleLine(std::string_view line, std::string& reply);
    Match RecognizeEscape(std::string_view pending, std::string& reply);

    mutable std::recursive_mutex mutex_;
    Input shared_;
    std::string received_;
    uint64_t receivedCount_ = 0;
    std::vector<std::string> commands_;
    std::vector<Recognizer> recognizers_;
    std::vector<std::pair<std::string, LineHandler>> lineHandlers_;
    std::map<std::string, ReportHandler> reports_;
    std::map<std::type_index, std::unique_ptr<SimModule>> modules_;
};

} // namespace sim
