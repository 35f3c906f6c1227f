#include "gui/functions/TFormDumpTextSetup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/FixedTextMessage.h"
#include "gui/kit/Language.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/WindowLook.h"
#include "link/FixedText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

namespace {

constexpr int kFileNameLength = 12;

// English in every language.
const CaptionEntry kCaptions[] = {
    {"FormDumpTextSetup", kCaptionEntry, EnglishOnly("Dump Text Setup")},
    {"RadioGroupDumpMode", kCaptionEntry, EnglishOnly("Dump Text Setup")},
    {"RadioGroupDumpMode", 0, EnglishOnly("Print Label")},
    {"RadioGroupDumpMode", 1, EnglishOnly("Save to SD Card")},
    {"RadioGroupDumpMode", 2, EnglishOnly("Save to File")},
    {"Label1", kCaptionEntry, EnglishOnly("File Name:")},
    {"ButtonOK", kCaptionEntry, EnglishOnly("Set")},
    {"ButtonCancel", kCaptionEntry, EnglishOnly("Cancel")},
};

} // namespace

FixedTextResult StoreDumpFileName(DumpTextRequest& request, const QString& name) {
    return StoreFixedText(request.fileName, name, FixedTextKind::Local);
}

TFormDumpTextSetup::TFormDumpTextSetup(DumpTextChoice& choice, Prompter& prompter,
                                       const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      choice_(choice), prompter_(prompter) {
    // English only: the captions the kit gives are the ones shown.
    ControlKit kit(this, "FormDumpTextSetup", kCaptions);
    ApplyWindowLook(this);
    // The outer 202 by 205 less the frame and the title bar.
    setFixedSize(194, 178);

    RadioGroupDumpMode = kit.Add<RadioGroup>(this, "RadioGroupDumpMode", {8, 8, 177, 89}, 1);
    connect(RadioGroupDumpMode, &RadioGroup::Click, this,
            &TFormDumpTextSetup::RadioGroupDumpModeClick);

    // "File Name:" is wider in this font than the 56 pixels before the edit; the edit gives
    // way, keeping its right edge.
    Label1 = kit.Add<QLabel>(this, "Label1", {8, 112, 64, 21});
    EditFileName = kit.Add<QLineEdit>(this, "EditFileName", {74, 112, 111, 21});
    EditFileName->setText(QStringLiteral("Dump.txt"));
    EditFileName->setMaxLength(kFileNameLength);
    Label1->setBuddy(EditFileName);

    ButtonOK = kit.Add<QPushButton>(this, "ButtonOK", {8, 144, 75, 25});
    ButtonOK->setDefault(true);
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {112, 144, 75, 25});
    connect(ButtonOK, &QPushButton::clicked, this, &TFormDumpTextSetup::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormDumpTextSetup::ButtonCancelClick);
    kit.OrderTabs();

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
