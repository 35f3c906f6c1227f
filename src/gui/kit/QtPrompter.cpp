#include "gui/kit/QtPrompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Tarnvik");

QFileDialog* MakeFileDialog(QWidget* parent, const Prompter::FileDialogOptions& options) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    // With no folder given the dialog opens where the program is working now.
    dialog->setDirectory(options.initialDirectory.isEmpty() ? QDir::currentPath()
                                                            : options.initialDirectory);
    const QStringList filters = QtPrompter::NameFilters(options.filter);
    dialog->setNameFilters(filters);
    if (options.filterIndex >= 0 && options.filterIndex < filters.size())
        dialog->selectNameFilter(filters[options.filterIndex]);
    if (!options.defaultExtension.isEmpty())
        dialog->setDefaultSuffix(options.defaultExtension);
    if (!options.fileName.isEmpty())
        dialog->selectFile(options.fileName);
    return dialog;
}

std::optional<QString> RunFileDialog(QFileDialog* dialog) {
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().first();
    delete dialog;
    return chosen;
}

} // namespace

QStringList QtPrompter::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file; as a pattern it would leave out names without a dot.
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    if (filters.isEmpty())
        filters << QStringLiteral("*.* (*)");
    return filters;
}

void QtPrompter::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kTitle, text, QMessageBox::Ok);
}

void QtPrompter::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, kTitle, text, QMessageBox::Ok);
}

bool QtPrompter::Confirm(QWidget* parent, const QString& text, ConfirmButtons buttons) {
    if (buttons == ConfirmButtons::YesNo)
        return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<QString> QtPrompter::OpenFile(QWidget* parent, const FileDialogOptions& options) {
    QFileDialog* dialog = MakeFileDialog(parent, options);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog);
}

std::optional<QString> QtPrompter::SaveFile(QWidget* parent, const FileDialogOptions& options) {
    QFileDialog* dialog = MakeFileDialog(parent, options);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    return RunFileDialog(dialog);
}

std::optional<QFont> QtPrompter::ChooseFont(QWidget* parent, const QFont& current) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, parent);
    if (!ok)
        return std::nullopt;
    return font;
}
