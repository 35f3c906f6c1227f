#include "ProgressLine.h"

#include "link/PrinterLink.h"
#include "link/ProgressView.h"
#include "link/ProgressWindow.h"

#include <QStringList>

#include <memory>

namespace {

constexpr auto kRedrawPause = std::chrono::milliseconds(100);

QString Bytes(int64_t bytes) {
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KiB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MiB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

// A link's progress window, whose view is this slot's share of the line.
struct ProgressLine::Slot : ProgressViewFactory {
    class View : public ProgressView {
    public:
        View(ProgressLine& line, Slot& slot) : line_(line), slot_(slot) {}
        ~View() override { line_.Report(slot_, false, 0); }
        void SetBarPosition(int position) override {
            position_ = position;
            line_.Report(slot_, true, position);
        }
        int BarPosition() const override { return position_; }

    private:
        ProgressLine& line_;
        Slot& slot_;
        int position_ = 0;
    };

    explicit Slot(ProgressLine& owner) : line(owner), window(this) {
        // Nothing waits for a window to be seen closing.
        window.hidePause = std::chrono::milliseconds(0);
    }
    ProgressView* CreateView(int, int, const QString&) override { return new View(line, *this); }

    ProgressLine& line;
    ProgressWindow window;
    bool active = false;
    int percent = 0;
};

ProgressLine::ProgressLine(FILE* out, QString command, int printers, int64_t bytesPerPrinter)
    : out_(out), command_(std::move(command)), printers_(printers),
      bytesPerPrinter_(bytesPerPrinter) {}

ProgressLine::~ProgressLine() {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    if (drawn_) {
        std::fputs("\r\x1b[K", out_);
        std::fflush(out_);
    }
}

void ProgressLine::Attach(PrinterLink& link) {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.emplace_back(*this);
    link.SetProgressWindow(&slots_.back().window);
}

void ProgressLine::PrinterDone() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    DrawLocked(true);
}

void ProgressLine::Report(Slot& slot, bool active, int percent) {
    std::lock_guard<std::mutex> lock(mutex_);
    // The slots' views close as the slots go, after the line was cleared.
    if (finished_)
        return;
    slot.active = active;
    slot.percent = percent;
    DrawLocked(false);
}

QString ProgressLine::Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return TextLocked();
}

QString ProgressLine::TextLocked() const {
    QString text =
        QStringLiteral("%1: %2/%3 printers done").arg(command_).arg(done_).arg(printers_);
    int running = 0;
    int64_t moved = 0;
    QStringList percents;
    for (const Slot& slot : slots_) {
        if (!slot.active)
            continue;
        ++running;
        moved += bytesPerPrinter_ * slot.percent / ProgressWindow::kMaximum;
        percents << QStringLiteral("%1%").arg(slot.percent);
    }
    if (running == 0)
        return text;
    if (bytesPerPrinter_ > 0)
        return text + QStringLiteral(", %1 sending: %2 of %3")
                          .arg(running)
                          .arg(Bytes(moved), Bytes(bytesPerPrinter_ * running));
    return text +
           QStringLiteral(", %1 running: %2").arg(running).arg(percents.join(QLatin1Char(' ')));
}

void ProgressLine::DrawLocked(bool force) {
    if (finished_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && drawn_ && now - lastDraw_ < kRedrawPause)
        return;
    lastDraw_ = now;
    drawn_ = true;
    const QByteArray line = TextLocked().toLocal8Bit();
    std::fputs("\r", out_);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out_);
    std::fputs("\x1b[K", out_);
    std::fflush(out_);
}
