#pragma once

#include <QTimer>

#include <chrono>

class LinkWait;
class ProgressWindow;

// For the life of one printer exchange: clears the link's cancel request and, once the
// exchange has lasted `after` (the window runs during every wait, so the timer fires),
// offers "Cancel" in the progress window or in a window like it. The offer goes when the
// exchange ends. An exchange that answers at once shows nothing.
class CancelOffer {
public:
    static constexpr std::chrono::milliseconds kAfter{1000};

    CancelOffer(LinkWait& waits, ProgressWindow* progress, int languageIndex,
                std::chrono::milliseconds after = kAfter);
    ~CancelOffer();
    CancelOffer(const CancelOffer&) = delete;
    CancelOffer& operator=(const CancelOffer&) = delete;

private:
    ProgressWindow* progress_;
    QTimer timer_;
};
