#include "link/TFormLPTSetup.h"

#include "link/FixedText.h"
#include "link/PortNames.h"
#include "link/PortNumber.h"
#include "ui/Language.h"
#include "ui/WindowLook.h"

#include <QComboBox>
#include <QPushButton>

#include <cstring>

namespace {

const CaptionText kSet = {"Set", "設定", "设定"};
const CaptionText kCancel = {"Cancel", "取消", "取消"};

} // namespace

TFormLPTSetup::TFormLPTSetup(LptPortName& port, int languageIndex, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      port_(port) {
    setObjectName(QStringLiteral("FormLPTSetup"));
    setWindowTitle(QStringLiteral("LPT Setup"));
    ApplyWindowLook(this);
    setFixedSize(210, 96);

    ComboBoxLPT = new QComboBox(this);
    ComboBoxLPT->setObjectName(QStringLiteral("ComboBoxLPT"));
    ComboBoxLPT->setGeometry(16, 16, 178, 22);
    ComboBoxLPT->addItems({QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"),
                           QStringLiteral("LPT4")});

    ButtonSet = new QPushButton(this);
    ButtonSet->setObjectName(QStringLiteral("ButtonSet"));
    ButtonSet->setGeometry(16, 56, 75, 25);
    ButtonSet->setDefault(true);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormLPTSetup::ButtonSetClick);
    ButtonCancel = new QPushButton(this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(119, 56, 75, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormLPTSetup::ButtonCancelClick);

    const int charset = LanguageCharset(languageIndex);
    ApplyCharset(ButtonSet, charset);
    ButtonSet->setText(TextFor(kSet, languageIndex));
    ApplyCharset(ButtonCancel, charset);
    ButtonCancel->setText(TextFor(kCancel, languageIndex));

    ComboBoxLPT->setCurrentIndex(
        PortItemForName(FixedText(port_.text, FixedTextKind::Local), kLptPortCount));
}

void TFormLPTSetup::ButtonSetClick() {
    StoreFixedText(port_.text, QStringLiteral("LPT%1").arg(ComboBoxLPT->currentIndex() + 1),
                   FixedTextKind::Local);
    accept();
}

void TFormLPTSetup::ButtonCancelClick() {
    reject();
}
