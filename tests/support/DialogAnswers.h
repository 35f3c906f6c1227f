#pragma once

#include <QStringList>

#include <deque>
#include <functional>

class QDialog;

// Answers the modal dialogs a host runs through its dialog seam, in the user's place and in
// order: each answer gets the dialog on screen (not modal) and presses its buttons; the host
// gets the dialog's result as exec would give it. A dialog beyond the script, or one left
// open by its answer, fails the test and counts as closed without OK.
class DialogAnswers {
public:
    using Answer = std::function<void(QDialog&)>;

    DialogAnswers& Then(Answer answer);
    // The runner to install as the host's dialog seam; it refers to this object.
    std::function<int(QDialog&)> Runner();
    int Run(QDialog& dialog);

    // objectNames of the dialogs run so far, in order.
    QStringList opened;
    int Pending() const { return static_cast<int>(answers_.size()); }

private:
    std::deque<Answer> answers_;
};
