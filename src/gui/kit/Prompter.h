#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// Everything a window asks of the user outside its own controls: message boxes, confirmations,
// the file open and save dialogs and the font dialog. Windows are handed one, so that tests can
// answer in the user's place (tests/support/ScriptedPrompter).
class Prompter {
public:
    enum class ConfirmButtons {
        OkCancel, // true for OK
        YesNo,    // true for Yes
    };

    struct FileDialogOptions {
        // Pairs of description and pattern separated by '|', as "*.dcf|*.dcf" or
        // "Text files|*.txt|All files|*.*".
        QString filter = QStringLiteral("*.*|*.*");
        int filterIndex = 0;      // which pair is selected, from 0
        QString defaultExtension; // without the dot; appended to a saved name that has none
        QString initialDirectory; // empty: the directory the program started in
        QString fileName;         // proposed file name, may be empty
    };

    virtual ~Prompter() = default;

    // A message box with the text and an OK button; returns when the user closed it.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // Same, for failures (the link error texts, "Incorrect", "File Data Error", ...).
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // A question with two buttons. Closing the box counts as Cancel / No.
    virtual bool Confirm(QWidget* parent, const QString& text, ConfirmButtons buttons) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogOptions& options) = 0;
    // The chosen font, or nothing when the user cancelled; `current` is preselected.
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current) = 0;
};
