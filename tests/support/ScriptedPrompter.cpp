#include "ScriptedPrompter.h"

namespace {

template <class T> std::optional<T> Take(std::deque<std::optional<T>>& answers, int& unanswered) {
    if (answers.empty()) {
        ++unanswered;
        return std::nullopt;
    }
    std::optional<T> answer;
    answer.swap(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

void ScriptedPrompter::Note(Prompt prompt) {
    prompts.push_back(prompt);
    if (whileShown)
        whileShown(prompts.back());
}

void ScriptedPrompter::Information(QWidget* parent, const QString& text) {
    Note({Kind::Information, text, parent, {}});
}

void ScriptedPrompter::Error(QWidget* parent, const QString& text) {
    Note({Kind::Error, text, parent, {}});
}

bool ScriptedPrompter::Confirm(QWidget* parent, const QString& text, ConfirmButtons) {
    Note({Kind::Confirm, text, parent, {}});
    if (confirmAnswers.empty()) {
        ++unanswered;
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompter::OpenFile(QWidget* parent,
                                                  const FileDialogOptions& options) {
    Note({Kind::OpenFile, {}, parent, options});
    return Take(fileAnswers, unanswered);
}

std::optional<QString> ScriptedPrompter::SaveFile(QWidget* parent,
                                                  const FileDialogOptions& options) {
    Note({Kind::SaveFile, {}, parent, options});
    return Take(fileAnswers, unanswered);
}

std::optional<QFont> ScriptedPrompter::ChooseFont(QWidget* parent, const QFont&) {
    Note({Kind::Font, {}, parent, {}});
    return Take(fontAnswers, unanswered);
}

QStringList ScriptedPrompter::Messages() const {
    QStringList texts;
    for (const Prompt& prompt : prompts) {
        if (prompt.kind == Kind::Information || prompt.kind == Kind::Error)
            texts << prompt.text;
    }
    return texts;
}

void ScriptedPrompter::Clear() {
    prompts.clear();
    unanswered = 0;
}
