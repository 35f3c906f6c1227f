#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <list>
#include <mutex>

class PrinterLink;

// One live line on a terminal while a command runs on its printers: how many are done of
// all, and how far the transfers under way are (bytes when the command sends a known
// number per printer, else percent). Every printer's link reports into a progress window
// of its own, attached here; the line is redrawn at most every 100 ms in place ("\r",
// erase to the end) and cleared when the run ends. Safe to use from the fleet's threads.
class ProgressLine {
public:
    ProgressLine(FILE* out, QString command, int printers, int64_t bytesPerPrinter);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Gives the link a progress window that reports into this line.
    void Attach(PrinterLink& link);
    void PrinterDone();
    // The line as it would be drawn now.
    QString Text() const;

    // One link's transfer; public for the progress views that report into it.
    struct Slot;
    void Report(Slot& slot, bool active, int percent);

private:
    QString TextLocked() const;
    void DrawLocked(bool force);

    FILE* out_;
    QString command_;
    int printers_;
    int64_t bytesPerPrinter_;
    mutable std::mutex mutex_;
    std::list<Slot> slots_;
    int done_ = 0;
    bool drawn_ = false;
    bool finished_ = false; // cleared; what is still reported is not drawn
    std::chrono::steady_clock::time_point lastDraw_{};
};
