#include "gui/functions/TFormRTCSetup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/TypedNumber.h"
#include "gui/kit/WindowLook.h"
#include "operations/ClockOperations.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 46;
constexpr int kEditLeft = 56;
constexpr int kEditWidth = 85;
constexpr int kRowHeight = 21;
constexpr int kButtonLeft = 152;

const CaptionEntry kCaptions[] = {
    {"FormRTCSetup", kCaptionEntry, EnglishOnly("RTC Setup")},
    {"LabelYear", kCaptionEntry, {"Year", "年", "年"}},
    {"LabelMonth", kCaptionEntry, {"Month", "月", "月"}},
    {"LabelDate", kCaptionEntry, {"Date", "日", "日"}},
    {"LabelHour", kCaptionEntry, {"Hour", "時", "时"}},
    {"LabelMinute", kCaptionEntry, {"Minute", "分", "分"}},
    {"LabelSecond", kCaptionEntry, {"Second", "秒", "秒"}},
    {"ButtonSetSysTime", kCaptionEntry, {"Get System Time", "取得系統時間", "取得系统时间"}},
    {"ButtonSet", kCaptionEntry, {"Set", "設定", "设定"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

} // namespace

TFormRTCSetup::TFormRTCSetup(PrinterClock& clock, uint8_t& setFlag, int languageIndex,
                             Prompter& prompter, LocalClock localClock, const QPoint& position,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      clock_(clock), setFlag_(setFlag), prompter_(prompter),
      localClock_(localClock ? std::move(localClock)
                             : LocalClock([] { return QDateTime::currentDateTime(); })) {
    ControlKit kit(this, "FormRTCSetup", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(253, 157);

    struct Row {
        QLabel* TFormRTCSetup::*label;
        const char* labelName;
        QLineEdit* TFormRTCSetup::*edit;
        const char* editName;
        int maxLength;
    };
    const Row rows[] = {
        {&TFormRTCSetup::LabelYear, "LabelYear", &TFormRTCSetup::EditYear, "EditYear", 4},
        {&TFormRTCSetup::LabelMonth, "LabelMonth", &TFormRTCSetup::EditMonth, "EditMonth", 3},
        {&TFormRTCSetup::LabelDate, "LabelDate", &TFormRTCSetup::EditDate, "EditDate", 3},
        {&TFormRTCSetup::LabelHour, "LabelHour", &TFormRTCSetup::EditHour, "EditHour", 3},
        {&TFormRTCSetup::LabelMinute, "LabelMinute", &TFormRTCSetup::EditMinute, "EditMinute", 3},
        {&TFormRTCSetup::LabelSecond, "LabelSecond", &TFormRTCSetup::EditSecond, "EditSecond", 3},
    };
    int top = 8;
    for (const Row& row : rows) {
        // The label's text sits level with the edit's.
        ControlRow line =
            kit.Row(this, row.labelName, {kLabelLeft, top, kLabelWidth, kRowHeight}, kEditLeft);
        this->*row.label = line.Label();
        QLineEdit* edit = line.Add<QLineEdit>(row.editName, kEditWidth);
        edit->setMaxLength(row.maxLength);
        this->*row.edit = edit;
        top += 24;
    }

    ButtonSetSysTime = kit.Add<QPushButton>(this, "ButtonSetSysTime", {kButtonLeft, 8, 97, 25});
    ButtonSet = kit.Add<QPushButton>(this, "ButtonSet", {kButtonLeft, 96, 97, 25});
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {kButtonLeft, 128, 97, 25});
    for (QPushButton* button : {ButtonSetSysTime, ButtonSet, ButtonCancel})
        button->setAutoDefault(false);
    connect(ButtonSetSysTime, &QPushButton::clicked, this, &TFormRTCSetup::ButtonSetSysTimeClick);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormRTCSetup::ButtonSetClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormRTCSetup::ButtonCancelClick);
    kit.OrderTabs();

    move(position);
    setFlag_ = 0;
    ShowClock();
    ApplyCaptions(this, kCaptions, languageIndex);
}

void TFormRTCSetup::ShowClock() {
    EditYear->setText(QString::number(clock_.year));
    EditMonth->setText(QString::number(clock_.month));
    EditDate->setText(QString::number(clock_.date));
    EditHour->setText(QString::number(clock_.hour));
    EditMinute->setText(QString::number(clock_.minute));
    EditSecond->setText(QString::number(clock_.second));
}

void TFormRTCSetup::ButtonSetSysTimeClick() {
    clock_ = ClockOf(localClock_());
    ShowClock();
}

void TFormRTCSetup::ButtonSetClick() {
    setFlag_ = 1;
    // The record is packed: its fields are written by name, never through pointers.
    using Store = void (*)(PrinterClock&, int32_t);
    const std::pair<QLineEdit*, Store> fields[] = {
        {EditYear, [](PrinterClock& c, int32_t v) { c.year = v; }},
        {EditMonth, [](PrinterClock& c, int32_t v) { c.month = v; }},
        {EditDate, [](PrinterClock& c, int32_t v) { c.date = v; }},
        {EditHour, [](PrinterClock& c, int32_t v) { c.hour = v; }},
        {EditMinute, [](PrinterClock& c, int32_t v) { c.minute = v; }},
        {EditSecond, [](PrinterClock& c, int32_t v) { c.second = v; }},
    };
    // Each value is stored as soon as it converts; a bad one stops here with the dialog open.
    for (const auto& [edit, store] : fields) {
        const std::optional<int32_t> value = TypedInteger(edit->text());
        if (!value) {
            prompter_.Error(this, NotAnIntegerMessage(edit->text()));
            return;
        }
        store(clock_, *value);
    }
    done(QDialog::Accepted);
}

void TFormRTCSetup::ButtonCancelClick() {
    setFlag_ = 0;
    done(QDialog::Rejected);
}
