#include "gui/calibration/TFormSensorCalibrate.h"

#include "calibration/SensorMeasurement.h"
#include "gui/kit/Captions.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/TypedNumber.h"
#include "gui/kit/WindowLook.h"
#include "operations/LinkError.h"
#include "operations/OperationCode.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

constexpr int kLevelItems = 16;
constexpr int kFirstReadingLevel = 3;

const CaptionEntry kCaptions[] = {
    {"FormSensorCalibrate", kCaptionEntry, EnglishOnly("Sensor Calibration")},
    {"GroupBoxAutoCali", kCaptionEntry, {"Auto Calibration", "自動偵測", "自动侦测"}},
    {"LabelHeight", kCaptionEntry, {"Paper Height", "紙張高度", "纸张高度"}},
    {"LabelGap", kCaptionEntry, {"Gap", "間隙高度", "间隙高度"}},
    {"ButtonCalib", kCaptionEntry, {"Calibrate", "紙張校正", "纸张校正"}},
    {"GroupBoxManualCalib", kCaptionEntry, {"Manual Setup", "手動設定", "手动设定"}},
    {"LabelInten", kCaptionEntry, {"Sensor Intension", "感應器強度", "感应器强度"}},
    {"LabelThresholdValue", kCaptionEntry, {"Threshold Value", "感應器臨界值", "感应器临界值"}},
    {"LabelReadIntension", kCaptionEntry, {"Reading Intension", "讀取強度", "读取强度"}},
    {"LabelCurrent", kCaptionEntry, {"Current Reading", "目前讀值", "目前读值"}},
    {"LabelPaperReading", kCaptionEntry, {"Label Reading", "紙張讀值", "纸张读值"}},
    {"LabelGapReading", kCaptionEntry, {"Gap Reading", "間隙讀值", "间隙读值"}},
    {"ButtonSet", kCaptionEntry, {"Set", "設定", "设定"}},
    {"ButtonManualCalibration", kCaptionEntry, {"Calibrate", "紙張校正", "纸张校正"}},
    {"RadioGroupMediaType", kCaptionEntry, {"Media Type", "紙張類型", "纸张类型"}},
    {"RadioGroupMediaType", 0, {"GAP", "間隙紙", "间隙纸"}},
    {"RadioGroupMediaType", 1, {"Black Mark", "黑標紙", "黑标纸"}},
    {"RadioGroupMediaType", 2, {"Continuous", "連續紙", "连续纸"}},
    {"RadioGroupMediaType", 3, {"Auto Selection", "自動選擇", "自动选择"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

const CaptionText kUnitInch = {"inch", "英吋", "英吋"};
const CaptionText kUnitMm = {"mm", "公厘", "毫米"};
const CaptionText kPutLiner = {"Put linner please.", "請放入底紙", "请放入底纸"};
const CaptionText kPutMark = {"Put black mark please.", "請放入黑標", "请放入黑标"};
const CaptionText kPutLabel = {"Put label please", "請放入紙張", "请放入纸张"};
const CaptionText kNext = {"Next", "下一步", "下一步"};
const CaptionText kCalibrate = {"Calibrate", "紙張校正", "纸张校正"};
const CaptionText kComplete = {"Calibration is complete", "校正完成", "校正完成"};
const CaptionText kCannot = {"Can't calibration", "無法偵測", "无法侦测"};

// A length edit of the automatic calibration: empty means "not given".
std::optional<int32_t> LengthFrom(const QLineEdit* edit, int32_t dotsPerUnit) {
    if (edit->text().isEmpty())
        return 0;
    const std::optional<double> value = TypedFloat(edit->text());
    if (!value)
        return std::nullopt;
    return LengthInDots(*value, dotsPerUnit);
}

} // namespace

TFormSensorCalibrate::TFormSensorCalibrate(SensorCalibration& record, OperationHost& host,
                                           const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      record_(record), host_(host), languageIndex_(host.LanguageIndex()) {
    ControlKit kit(this, "FormSensorCalibrate", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(385, 353);

    RadioGroupMediaType = kit.Add<RadioGroup>(this, "RadioGroupMediaType", {8, 8, 369, 57}, 2);
    BuildAutoGroup();
    BuildManualGroup();
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {296, 320, 81, 25});
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormSensorCalibrate::ButtonCancelClick);
    kit.OrderTabs();

    Timer1 = new QTimer(this);
    NameControl(Timer1, QStringLiteral("Timer1"));
    Timer1->setInterval(kPollIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TFormSensorCalibrate::Timer1Timer);

    // Opening: the measurement starts afresh with every opening of the dialog.
    move(position);
    record_.confirmed = 0;
    RadioGroupMediaType->SetItemIndex(record_.mediaType);
    if (record_.threshold != 0)
        EditReference->setText(QString::number(record_.threshold));
    if (record_.intensity != 0)
        EditInten->setText(QString::number(record_.intensity));
    ApplyLanguage();
}

void TFormSensorCalibrate::BuildAutoGroup() {
    ControlKit kit(this, kCaptions);
    GroupBoxAutoCali = kit.Add<QGroupBox>(this, "GroupBoxAutoCali", {8, 72, 369, 81});
    LabelHeight = kit.Add<QLabel>(GroupBoxAutoCali, "LabelHeight", {8, 20, 100, 21});
    EditHeight = kit.Add<QLineEdit>(GroupBoxAutoCali, "EditHeight", {112, 20, 73, 21});
    LabelUnit1 = kit.Add<QLabel>(GroupBoxAutoCali, "LabelUnit1", {192, 20, 40, 21});
    LabelGap = kit.Add<QLabel>(GroupBoxAutoCali, "LabelGap", {8, 48, 100, 21});
    EditGap = kit.Add<QLineEdit>(GroupBoxAutoCali, "EditGap", {112, 48, 73, 21});
    LabelUnit2 = kit.Add<QLabel>(GroupBoxAutoCali, "LabelUnit2", {192, 48, 40, 21});
    ButtonCalib = kit.Add<QPushButton>(GroupBoxAutoCali, "ButtonCalib", {280, 32, 81, 25});
    connect(ButtonCalib, &QPushButton::clicked, this, &TFormSensorCalibrate::ButtonCalibClick);
}

void TFormSensorCalibrate::BuildManualGroup() {
    ControlKit kit(this, kCaptions);
    GroupBoxManualCalib = kit.Add<QGroupBox>(this, "GroupBoxManualCalib", {8, 160, 369, 153});
    QGroupBox* g = GroupBoxManualCalib;
    LabelInten = kit.Add<QLabel>(g, "LabelInten", {8, 20, 100, 21});
    EditInten = kit.Add<QLineEdit>(g, "EditInten", {112, 20, 57, 21});
    EditInten->setMaxLength(2);
    LabelReadIntension = kit.Add<QLabel>(g, "LabelReadIntension", {184, 20, 104, 21});
    ComboBoxSnesorInt = kit.Add<QComboBox>(g, "ComboBoxSnesorInt", {296, 20, 65, 21});
    for (int level = 0; level < kLevelItems; ++level)
        ComboBoxSnesorInt->addItem(QString::number(level));
    ComboBoxSnesorInt->setCurrentIndex(kFirstReadingLevel);

    LabelThresholdValue = kit.Add<QLabel>(g, "LabelThresholdValue", {8, 48, 100, 21});
    EditReference = kit.Add<QLineEdit>(g, "EditReference", {112, 48, 57, 21});
    EditReference->setMaxLength(3);
    LabelCurrent = kit.Add<QLabel>(g, "LabelCurrent", {184, 48, 104, 21});
    EditCurrentReading = kit.Add<QLineEdit>(g, "EditCurrentReading", {296, 48, 65, 21});
    EditCurrentReading->setReadOnly(true);

    LabelPaperReading = kit.Add<QLabel>(g, "LabelPaperReading", {8, 76, 100, 21});
    LabelLabelValue = kit.Add<QLabel>(g, "LabelLabelValue", {112, 76, 57, 21});
    LabelGapReading = kit.Add<QLabel>(g, "LabelGapReading", {184, 76, 104, 21});
    LabelGapValue = kit.Add<QLabel>(g, "LabelGapValue", {296, 76, 65, 21});
    LabelMessage = kit.Add<QLabel>(g, "LabelMessage", {8, 100, 353, 21});
    for (QLabel* label :
         {LabelPaperReading, LabelLabelValue, LabelGapReading, LabelGapValue, LabelMessage})
        label->hide();

    ButtonManualCalibration =
        kit.Add<QPushButton>(g, "ButtonManualCalibration", {184, 124, 81, 25});
    ButtonSet = kit.Add<QPushButton>(g, "ButtonSet", {280, 124, 81, 25});
    for (QPushButton* button : {ButtonManualCalibration, ButtonSet})
        button->setAutoDefault(false);
    connect(ButtonManualCalibration, &QPushButton::clicked, this,
            &TFormSensorCalibrate::ButtonManualCalibrationClick);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormSensorCalibrate::ButtonSetClick);
}

QString TFormSensorCalibrate::Text(const CaptionText& caption) const {
    return TextFor(caption, languageIndex_);
}

void TFormSensorCalibrate::ApplyLanguage() {
    ApplyCaptions(this, kCaptions, languageIndex_);
    const int charset = LanguageCharset(languageIndex_);
    const QString unit = Text(IsMillimetreUnit(record_.dotsPerUnit) ? kUnitMm : kUnitInch);
    for (QLabel* label : {LabelUnit1, LabelUnit2}) {
        ApplyCharset(label, charset);
        label->setText(unit);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             EditHeight, EditGap, EditInten, EditReference, ComboBoxSnesorInt, EditCurrentReading,
             LabelLabelValue, LabelGapValue, LabelMessage})
        ApplyCharset(control, charset);
}

void TFormSensorCalibrate::ButtonCalibClick() {
    record_.confirmed = 1;
    record_.mediaType = RadioGroupMediaType->ItemIndex();
    const std::optional<int32_t> height = LengthFrom(EditHeight, record_.dotsPerUnit);
    if (!height) {
        host_.Prompts().Error(this, NotAFloatMessage(EditHeight->text()));
        return;
    }
    record_.paperHeight = *height;
    const std::optional<int32_t> gap = LengthFrom(EditGap, record_.dotsPerUnit);
    if (!gap) {
        host_.Prompts().Error(this, NotAFloatMessage(EditGap->text()));
        return;
    }
    record_.gapLength = *gap;
    record_.kind = CalibrationAutomatic;
    accept();
}

void TFormSensorCalibrate::ButtonSetClick() {
    record_.confirmed = 1;
    record_.mediaType = RadioGroupMediaType->ItemIndex();
    const std::optional<int32_t> threshold = TypedInteger(EditReference->text());
    if (!threshold) {
        host_.Prompts().Error(this, NotAnIntegerMessage(EditReference->text()));
        return;
    }
    record_.threshold = *threshold;
    const std::optional<int32_t> intensity = TypedInteger(EditInten->text());
    if (!intensity) {
        host_.Prompts().Error(this, NotAnIntegerMessage(EditInten->text()));
        return;
    }
    record_.intensity = *intensity;
    record_.kind = CalibrationManual;
    accept();
}

void TFormSensorCalibrate::ButtonCancelClick() {
    reject();
}

void TFormSensorCalibrate::reject() {
    record_.confirmed = 0;
    QDialog::reject();
}

void TFormSensorCalibrate::done(int result) {
    Timer1->stop();
    QDialog::done(result);
}

bool TFormSensorCalibrate::ReadLevels(SensorLevels& levels) {
    SensorLevels read = levels;
    busy_ = true;
    const LinkError result = host_.RunQuiet<Op::ReadSensorLevels>(read, pos());
    busy_ = false;
    if (result != LinkOk)
        return false;
    levels = read;
    return true;
}

void TFormSensorCalibrate::Fail(const QString& text) {
    host_.Prompts().Error(this, text);
}

void TFormSensorCalibrate::ShowResultLabels(bool label, bool gap) {
    LabelPaperReading->setVisible(label);
    LabelLabelValue->setVisible(label);
    LabelGapReading->setVisible(gap);
    LabelGapValue->setVisible(gap);
}

void TFormSensorCalibrate::ButtonManualCalibrationClick() {
    // A click that arrives while a reading is on the link waits for none: it is dropped.
    if (busy_)
        return;
    const int32_t media = RadioGroupMediaType->ItemIndex();
    if (media < MediaGap || media >= MediaAutoSelection) {
        Fail(Text(kCannot));
        return;
    }
    Timer1->stop();
    switch (step_) {
    case 0:
        MeasureFirst(media);
        break;
    case 1:
        TakeBacking();
        break;
    default:
        TakeLabel();
        break;
    }
}

void TFormSensorCalibrate::MeasureFirst(int32_t media) {
    first_.sensorSelect = media;
    ShowResultLabels(false, false);
    if (!ReadLevels(first_)) {
        Fail(QString::fromLatin1(LinkErrorText(LinkReceivingError)));
        return;
    }
    if (media == MediaContinuous) {
        const std::optional<SensorProposal> proposal = ProposeForContinuous(first_);
        if (!proposal) {
            Fail(Text(kCannot));
            return;
        }
        EditInten->setText(QString::number(proposal->intensity));
        EditReference->setText(QString::number(proposal->threshold));
        LabelLabelValue->setText(QString::number(proposal->labelReading));
        ShowResultLabels(true, false);
        return;
    }
    // A sensor that lists no levels offers nothing to measure.
    if (first_.count < 1) {
        Fail(Text(kCannot));
        return;
    }
    const int selected = ComboBoxSnesorInt->currentIndex();
    const int count = std::min(first_.count, kMaxSensorReadings);
    ComboBoxSnesorInt->clear();
    for (int level = 0; level < count; ++level)
        ComboBoxSnesorInt->addItem(QString::number(level));
    ComboBoxSnesorInt->setCurrentIndex(std::clamp(selected, 0, count - 1));

    LabelMessage->setText(Text(media == MediaBlackMark ? kPutMark : kPutLiner));
    LabelMessage->show();
    live_ = SensorLevels{};
    live_.sensorSelect = media;
    ButtonManualCalibration->setText(Text(kNext));
    Timer1->start();
    step_ = 1;
}

void TFormSensorCalibrate::TakeBacking() {
    first_ = live_;
    LabelMessage->setText(Text(kPutLabel));
    Timer1->start();
    step_ = 2;
}

void TFormSensorCalibrate::TakeLabel() {
    second_ = live_;
    ButtonManualCalibration->setText(Text(kCalibrate));
    step_ = 0;
    // Levels missing from either capture are not compared.
    const std::optional<SensorProposal> proposal = ProposeFromCaptures(first_, second_);
    if (!proposal) {
        LabelMessage->hide();
        Fail(Text(kCannot));
        return;
    }
    EditReference->setText(QString::number(proposal->threshold));
    EditInten->setText(QString::number(proposal->intensity));
    LabelMessage->setText(Text(kComplete));
    LabelLabelValue->setText(QString::number(proposal->labelReading));
    LabelGapValue->setText(QString::number(proposal->gapReading));
    ShowResultLabels(true, true);
}

void TFormSensorCalibrate::Timer1Timer() {
    // A tick that comes while this dialog's operation waits on the link starts no second one.
    if (busy_)
        return;
    if (!ReadLevels(live_))
        return;
    const int level = ComboBoxSnesorInt->currentIndex();
    if (level >= 0 && level < live_.count)
        EditCurrentReading->setText(QString::number(live_.readings[level]));
    else
        EditCurrentReading->clear();
}
