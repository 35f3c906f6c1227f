#pragma once

#include "gui/kit/Prompter.h"

#include <QStringList>

#include <deque>

// Answers in the user's place and keeps what was shown.
class RecordingPrompter : public Prompter {
public:
    QStringList informations;
    QStringList errors;
    QStringList questions;
    // Answers of the coming confirmations; none left counts as No.
    std::deque<bool> answers;

    void Information(QWidget*, const QString& text) override { informations << text; }
    void Error(QWidget*, const QString& text) override { errors << text; }
    bool Confirm(QWidget*, const QString& text, ConfirmButtons) override {
        questions << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> OpenFile(QWidget*, const FileDialogOptions&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const FileDialogOptions&) override { return {}; }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return {}; }
};
