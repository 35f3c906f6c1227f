#pragma once

#include "gui/kit/Prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Answers prompts in the user's place and records what was asked. Unscripted questions are
// answered as if the user cancelled, and counted in `unanswered`.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Information, Error, Confirm, OpenFile, SaveFile, Font };

    struct Prompt {
        Kind kind;
        QString text; // the message or question; empty for the dialogs
        QWidget* parent;
        FileDialogOptions fileOptions; // for OpenFile and SaveFile
    };

    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text, ConfirmButtons buttons) override;
    std::optional<QString> OpenFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current) override;

    // The texts of the message boxes shown (information and error), in order.
    QStringList Messages() const;
    void Clear();

    std::vector<Prompt> prompts;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    int unanswered = 0;
    // Runs while a message box would be on screen, before it is closed.
    std::function<void(const Prompt&)> whileShown;

private:
    void Note(Prompt prompt);
};
