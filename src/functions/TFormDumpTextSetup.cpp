#include "functions/TFormDumpTextSetup.h"

#include "link/FixedText.h"
#include "ui/FixedTextMessage.h"
#include "ui/Language.h"
#include "ui/PlaceControl.h"
#include "ui/Prompter.h"
#include "ui/RadioGroup.h"
#include "ui/WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

namespace {

constexpr int kFileNameLength = 12;

} // namespace

FixedTextResult StoreDumpFileName(DumpTextRequest& request, const QString& name) {
    return StoreFixedText(request.fileName, name, FixedTextKind::Local);
}

TFormDumpTextSetup::TFormDumpTextSetup(DumpTextChoice& choice, Prompter& prompter,
                                       const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      choice_(choice), prompter_(prompter) {
    setObjectName(QStringLiteral("FormDumpTextSetup"));
    setWindowTitle(QStringLiteral("Dump Text Setup"));
    ApplyWindowLook(this);
    // The outer 202 by 205 less the frame and the title bar.
    setFixedSize(194, 178);

    RadioGroupDumpMode =
        new RadioGroup(QStringLiteral("RadioGroupDumpMode"),
                       {QStringLiteral("Print Label"), QStringLiteral("Save to SD Card"),
                        QStringLiteral("Save to File")},
                       1, this);
    RadioGroupDumpMode->setTitle(QStringLiteral("Dump Text Setup"));
    RadioGroupDumpMode->setGeometry(8, 8, 177, 89);
    connect(RadioGroupDumpMode, &RadioGroup::Click, this,
            &TFormDumpTextSetup::RadioGroupDumpModeClick);

    // "File Name:" is wider in this font than the 56 pixels before the edit; the edit gives
    // way, keeping its right edge.
    Label1 = PlaceControl<QLabel>(this, "Label1", 8, 112, 64, 21);
    Label1->setText(QStringLiteral("File Name:"));
    EditFileName = PlaceControl<QLineEdit>(this, "EditFileName", 74, 112, 111, 21);
    EditFileName->setText(QStringLiteral("Dump.txt"));
    EditFileName->setMaxLength(kFileNameLength);

    ButtonOK = PlaceControl<QPushButton>(this, "ButtonOK", 8, 144, 75, 25);
    ButtonOK->setText(QStringLiteral("Set"));
    ButtonOK->setDefault(true);
    ButtonCancel = PlaceControl<QPushButton>(this, "ButtonCancel", 112, 144, 75, 25);
    ButtonCancel->setText(QStringLiteral("Cancel"));
    connect(ButtonOK, &QPushButton::clicked, this, &TFormDumpTextSetup::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormDumpTextSetup::ButtonCancelClick);

    move(position);
    choice_.accepted = 0;
    ApplyMode(choice_.request.mode);
}

void TFormDumpTextSetup::ApplyMode(int32_t mode) {
    // The name is used by the card mode only; the edit is open for that mode alone.
    EditFileName->setEnabled(mode == DumpSaveToCard);
    RadioGroupDumpMode->SetItemIndex(mode == DumpPrint || mode == DumpSaveToCard ? mode
                                                                                 : DumpSaveToFile);
}

void TFormDumpTextSetup::RadioGroupDumpModeClick() {
    choice_.request.mode = RadioGroupDumpMode->ItemIndex();
    ApplyMode(choice_.request.mode);
}

void TFormDumpTextSetup::ButtonOKClick() {
    choice_.request.mode = RadioGroupDumpMode->ItemIndex();
    if (const FixedTextResult stored = StoreDumpFileName(choice_.request, EditFileName->text());
        stored != FixedTextResult::Stored) {
        prompter_.Error(this, FixedTextRefusal(stored, Label1->text(), LanguageEnglish));
        return;
    }
    choice_.accepted = 1;
    accept();
}

void TFormDumpTextSetup::ButtonCancelClick() {
    reject();
}
