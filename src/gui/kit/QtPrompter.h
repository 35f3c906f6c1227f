#pragma once

#include "gui/kit/Prompter.h"

// The prompts as the user sees them: Qt message boxes and the file and font dialogs.
class QtPrompter : public Prompter {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text, ConfirmButtons buttons) override;
    std::optional<QString> OpenFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current) override;

    // "Text|*.txt|All|*.*" as the Qt file dialog lists it.
    static QStringList NameFilters(const QString& filter);
};
