#include "config/ConfigPage.h"

#include "config/ConfigCaptions.h"
#include "config/ConfigFile.h"
#include "config/ConfigTables.h"
#include "link/FixedText.h"
#include "numbers/NumberText.h"
#include "operations/OperationCode.h"
#include "password/PasswordGate.h"
#include "ui/OperationHost.h"
#include "ui/PlaceControl.h"
#include "ui/Prompter.h"
#include "ui/TypedNumber.h"
#include "ui/WholeFile.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <variant>

namespace {

// How a field and its control meet.
enum class Rule {
    Integer,      // decimal / integer
    CutterPiece,  // decimal, shown only while the post-print action is "CUTTER"
    Base,         // decimal in a read-only edit shown only for a value; never collected
    Real,         // shortest general form / real
    Speed,        // as Real, a typed "," counts as the decimal separator
    Length,       // dots / factor as "0.00" / real * factor
    LengthDots,   // as Length, collected as whole dots
    Character,    // the character / the first character
    ComboShifted, // item value + 1 / index - 1
    ComboDirect,  // item = value / index
};

using FieldMember = std::variant<ConfigInt PrinterConfig::*, ConfigFloat PrinterConfig::*,
                                 ConfigChar PrinterConfig::*>;

struct FieldBinding {
    FieldMember field;
    const char* control;
    Rule rule;
};

// Every field of the four tabs in the record's order, which is the order of collection.
const FieldBinding kFields[] = {
    {&PrinterConfig::Speed, "EditSpeed", Rule::Speed},
    {&PrinterConfig::Density, "ComboBoxDensity", Rule::ComboShifted},
    {&PrinterConfig::DensityBase, "EditDensityBase", Rule::Base},
    {&PrinterConfig::PaperWidth, "EditWidth", Rule::Length},
    {&PrinterConfig::PaperHeight, "EditHeight", Rule::Length},
    {&PrinterConfig::SensorMode, "ComboBoxMediaSensor", Rule::ComboShifted},
    {&PrinterConfig::GapSize, "EditGapSize", Rule::Length},
    {&PrinterConfig::GapOffset, "EditGapOffset", Rule::Length},
    {&PrinterConfig::PrintOut, "ComboBoxPrintOut", Rule::ComboShifted},
    {&PrinterConfig::CutterPiece, "EditCutterPiece", Rule::CutterPiece},
    {&PrinterConfig::ReferenceX, "EditReferenceX", Rule::Integer},
    {&PrinterConfig::ReferenceY, "EditReferenceY", Rule::Integer},
    {&PrinterConfig::Direction, "ComboBoxDirection", Rule::ComboShifted},
    {&PrinterConfig::Mirror, "ComboBoxMirror", Rule::ComboShifted},
    {&PrinterConfig::Offset, "EditOffset", Rule::Integer},
    {&PrinterConfig::OffsetBase, "EditOffsetBase", Rule::Base},
    {&PrinterConfig::Shift, "EditShiftY", Rule::Integer},
    {&PrinterConfig::ShiftBase, "EditShiftYBase", Rule::Base},
    {&PrinterConfig::ShiftX, "EditShiftX", Rule::Integer},
    {&PrinterConfig::ShiftXBase, "EditShiftXBase", Rule::Base},
    {&PrinterConfig::Ribbon, "ComboBoxRibbon", Rule::ComboShifted},
    {&PrinterConfig::RibbonSensor, "ComboBoxRibbonSensor", Rule::ComboShifted},
    {&PrinterConfig::RibbonEncoder, "ComboBoxRibbonEncoder", Rule::ComboShifted},
    {&PrinterConfig::CodePage, "ComboBoxCodePage", Rule::ComboShifted},
    {&PrinterConfig::Country, "ComboBoxCountryCode", Rule::ComboShifted},
    {&PrinterConfig::Head, "ComboBoxHead", Rule::ComboShifted},
    {&PrinterConfig::Reprint, "ComboBoxReprint", Rule::ComboShifted},
    {&PrinterConfig::MaxLength, "EditMaximumLength", Rule::Length},
    {&PrinterConfig::GapInten, "EditGapInten", Rule::Integer},
    {&PrinterConfig::BlineInten, "EditBlineInten", Rule::Integer},
    {&PrinterConfig::ConInten, "EditContinuousInten", Rule::Integer},
    {&PrinterConfig::AutoThreshold, "ComboBoxThreshold", Rule::ComboShifted},
    {&PrinterConfig::ZDarkness, "EditDarknessZ", Rule::Integer},
    {&PrinterConfig::ZSpeed, "EditPrintSpeedZ", Rule::Integer},
    {&PrinterConfig::ZPosition, "EditTearOffZ", Rule::Integer},
    {&PrinterConfig::ZPrintMode, "ComboBoxPrintModeZ", Rule::ComboDirect},
    {&PrinterConfig::ZLabelWidth, "EditPrintWidthZ", Rule::LengthDots},
    {&PrinterConfig::ZControl, "EditControlPrefixZ", Rule::Character},
    {&PrinterConfig::ZFormat, "EditFormatPrefixZ", Rule::Character},
    {&PrinterConfig::ZDelimiter, "EditDelimiterCharZ", Rule::Character},
    {&PrinterConfig::ZFeedPowerUp, "ComboBoxMediaPowerUpZ", Rule::ComboDirect},
    {&PrinterConfig::ZFeedHeadClose, "ComboBoxHeadCloseZ", Rule::ComboDirect},
    {&PrinterConfig::ZLabelTop, "EditLabelTopZ", Rule::Integer},
    {&PrinterConfig::ZLabelShift, "EditLeftPositionZ", Rule::Integer},
    {&PrinterConfig::DHeat, "EditHeatD", Rule::Integer},
    {&PrinterConfig::DSpeed, "EditPrintSpeedD", Rule::Real},
    {&PrinterConfig::DLabelWidth, "EditLabelWidthD", Rule::LengthDots},
    {&PrinterConfig::DPresentSensor, "ComboBoxPresentSensorD", Rule::ComboDirect},
    {&PrinterConfig::DCutterEquipped, "ComboBoxCutterEquippedD", Rule::ComboDirect},
    {&PrinterConfig::DControlCodes, "ComboBoxControlCodesD", Rule::ComboDirect},
    {&PrinterConfig::DColumnOffset, "EditColumnOffsetD", Rule::LengthDots},
    {&PrinterConfig::DRowOffset, "EditRowOffsetD", Rule::LengthDots},
    {&PrinterConfig::BaudRate, "ComboBoxBaudrate", Rule::ComboDirect},
    {&PrinterConfig::DataBit, "ComboBoxDatabit", Rule::ComboShifted},
    {&PrinterConfig::Parity, "ComboBoxParity", Rule::ComboShifted},
    {&PrinterConfig::StopBit, "ComboBoxStopBit", Rule::ComboShifted},
};

// The item of ComboBoxPrintOut that shows "CUTTER".
constexpr int kCutterItem = 4;

const char* const kTypingLimit = "typingLimit";

const QString kDcfFilter = QStringLiteral("*.dcf|*.dcf");

// Typing in the edit is limited to `limit` characters; texts the page shows are not cut.
void LimitTyping(QLineEdit* edit, int limit) {
    edit->setProperty(kTypingLimit, limit);
    edit->setMaxLength(limit);
    // While a longer shown text is edited, the limit follows it down but never lets it grow.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, limit](const QString& text) {
        edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
    });
}

// Shows the text in full, whatever the edit's typing limit.
void ShowText(QLineEdit* edit, const QString& text) {
    const int limit = edit->property(kTypingLimit).toInt();
    if (limit > 0)
        edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
    edit->setText(text);
}

void SelectItem(QComboBox* combo, int64_t item) {
    combo->setCurrentIndex(item >= 0 && item < combo->count() ? static_cast<int>(item) : -1);
}

struct ShowContext {
    double factor;
    QLocale locale;
    const QComboBox* printOut;
};

void ShowField(const ConfigInt& item, Rule rule, QWidget* control, const ShowContext& cx) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    auto* combo = qobject_cast<QComboBox*>(control);
    const bool valid = item.valid != 0;
    switch (rule) {
    case Rule::Integer:
        ShowText(edit, valid ? QString::number(item.value) : QString());
        break;
    case Rule::CutterPiece:
        ShowText(edit, valid && cx.printOut->currentIndex() == kCutterItem
                           ? QString::number(item.value)
                           : QString());
        break;
    case Rule::Base:
        edit->setVisible(valid && item.value != 0);
        ShowText(edit, valid && item.value != 0 ? QString::number(item.value) : QString());
        break;
    case Rule::LengthDots:
        ShowText(edit, valid ? FixedTwoText(item.value / cx.factor, cx.locale) : QString());
        break;
    case Rule::ComboShifted:
        SelectItem(combo, valid ? int64_t{item.value} + 1 : -1);
        break;
    case Rule::ComboDirect:
        SelectItem(combo, valid ? int64_t{item.value} : -1);
        break;
    default:
        break;
    }
}

void ShowField(const ConfigFloat& item, Rule rule, QWidget* control, const ShowContext& cx) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (!item.valid)
        ShowText(edit, QString());
    else if (rule == Rule::Length)
        ShowText(edit, FixedTwoText(static_cast<double>(item.value) / cx.factor, cx.locale));
    else
        ShowText(edit, ShortestText(item.value, cx.locale));
}

void ShowField(const ConfigChar& item, Rule, QWidget* control, const ShowContext&) {
    ShowText(qobject_cast<QLineEdit*>(control),
             item.valid ? QString(QChar::fromLatin1(item.value)) : QString());
}

// Collection stops at the first control whose text does not convert; `failure` then holds
// the conversion message.
void CollectField(ConfigInt& item, Rule rule, QWidget* control, const ShowContext& cx,
                  QString& failure) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = combo->currentIndex();
        item.valid = index > 0 ? 1 : 0;
        if (index > 0)
            item.value = rule == Rule::ComboShifted ? index - 1 : index;
        return;
    }
    if (rule == Rule::Base)
        return;
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    if (text.isEmpty()) {
        item.valid = 0;
        return;
    }
    if (rule == Rule::LengthDots) {
        // Whole dots to the nearest: the two decimals shown stand for a whole number of
        // dots, and writing back an untouched page must not move it.
        const std::optional<double> real = TypedFloat(text);
        const double dots = real ? std::round(*real * cx.factor) : 0.0;
        if (!real || !(std::abs(dots) <= std::numeric_limits<int32_t>::max())) {
            failure = NotARealMessage(text);
            return;
        }
        SetItem(item, static_cast<int32_t>(dots));
        return;
    }
    const std::optional<int32_t> value = TypedInteger(text);
    if (!value) {
        failure = NotAnIntegerMessage(text);
        return;
    }
    SetItem(item, *value);
}

void CollectField(ConfigFloat& item, Rule rule, QWidget* control, const ShowContext& cx,
                  QString& failure) {
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    if (text.isEmpty()) {
        item.valid = 0;
        return;
    }
    std::optional<double> real = rule == Rule::Speed ? TypedSpeed(text) : TypedFloat(text);
    if (real && rule == Rule::Length)
        *real *= cx.factor;
    if (!real || !std::isfinite(static_cast<float>(*real))) {
        failure = NotARealMessage(text);
        return;
    }
    SetItem(item, static_cast<float>(*real));
}

void CollectField(ConfigChar& item, Rule, QWidget* control, const ShowContext&, QString&) {
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    item.valid = text.isEmpty() ? 0 : 1;
    if (!text.isEmpty())
        item.value = text.at(0).toLatin1();
}

// A column of a tab's grid: where its labels start, how wide they are, where the controls
// start.
struct Column {
    int labelX;
    int labelWidth;
    int controlX;
};

constexpr int kRowHeight = 21;
constexpr int kGap = 4;

// Places the controls of one row of a tab from left to right after its label.
class GridRow {
public:
    GridRow(QWidget* tab, const Column& column, int y, const char* label) : tab_(tab), y_(y) {
        auto* caption =
            PlaceControl<QLabel>(tab, label, column.labelX, y, column.labelWidth, kRowHeight);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        x_ = column.controlX;
    }

    QLineEdit* Edit(const char* name, int width, int typingLimit = 0) {
        auto* edit = Place<QLineEdit>(name, width);
        if (typingLimit > 0)
            LimitTyping(edit, typingLimit);
        return edit;
    }
    // A read-only edit beside a setting, shown only when the printer reports a base value.
    QLineEdit* Base(const char* name, int width) {
        auto* edit = Place<QLineEdit>(name, width);
        edit->setReadOnly(true);
        edit->hide();
        return edit;
    }
    QComboBox* Combo(const char* name, int width, const QStringList& items) {
        auto* combo = Place<QComboBox>(name, width);
        combo->addItems(items);
        combo->setCurrentIndex(-1);
        return combo;
    }
    QLabel* Text(const char* name, int width, const QString& text) {
        auto* label = Place<QLabel>(name, width);
        label->setText(text);
        return label;
    }

private:
    template <class T> T* Place(const char* name, int width) {
        T* control = PlaceControl<T>(tab_, name, x_, y_, width, kRowHeight);
        x_ += width + kGap;
        return control;
    }

    QWidget* tab_;
    int y_;
    int x_ = 0;
};

constexpr int kGridTop = 8;
constexpr int kGridStep = 31;

int RowY(int row) {
    return kGridTop + row * kGridStep;
}

QStringList WithEmptyFirst(std::span<const char* const> entries) {
    QStringList items{QString()};
    for (const char* entry : entries)
        items << QString::fromLatin1(entry);
    return items;
}

QStringList Items(std::initializer_list<const char*> entries) {
    return WithEmptyFirst(std::span<const char* const>(entries.begin(), entries.size()));
}

const QStringList kOffOn = Items({"OFF", "ON"});

} // namespace

ConfigPage::ConfigPage(OperationHost& host, ConfigPageRecords records, QWidget* parent)
    : MainPage(host, parent), records_(records) {
    setObjectName(QStringLiteral("ConfigPage"));
    GroupBoxPrintreConfig = PlaceControl<QGroupBox>(this, "GroupBoxPrintreConfig", 0, 0, 553, 481);
    BuildInformation();

    PageControl2 =
        PlaceControl<QTabWidget>(GroupBoxPrintreConfig, "PageControl2", 4, 120, 545, 318);
    const char* const tabNames[] = {"TabSheet5", "TabSheet6", "TabSheet7", "TabSheet8"};
    const char* const tabCaptions[] = {"Common", "Z", "D", "Interface"};
    QWidget** tabs[] = {&TabSheet5, &TabSheet6, &TabSheet7, &TabSheet8};
    for (int i = 0; i < 4; ++i) {
        *tabs[i] = new QWidget;
        (*tabs[i])->setObjectName(QString::fromLatin1(tabNames[i]));
        PageControl2->addTab(*tabs[i], QString::fromLatin1(tabCaptions[i]));
    }
    BuildCommonTab();
    BuildZTab();
    BuildDTab();
    BuildInterfaceTab();
    PageControl2->setCurrentIndex(ConfigTabCommon);

    // Printer actions on the left, the page's own on the right.
    struct ButtonSpec {
        QPushButton* ConfigPage::*member;
        const char* name;
        int x;
        void (ConfigPage::*click)();
    };
    const ButtonSpec buttons[] = {
        {&ConfigPage::ButtonRead, "ButtonRead", 4, &ConfigPage::ButtonReadClick},
        {&ConfigPage::ButtonConfigSet, "ButtonConfigSet", 84, &ConfigPage::ButtonConfigSetClick},
        {&ConfigPage::ButtonClear, "ButtonClear", 314, &ConfigPage::ButtonClearClick},
        {&ConfigPage::ButtonSave, "ButtonSave", 394, &ConfigPage::ButtonSaveClick},
        {&ConfigPage::ButtonLoad, "ButtonLoad", 474, &ConfigPage::ButtonLoadClick},
    };
    for (const ButtonSpec& b : buttons) {
        this->*b.member =
            PlaceControl<QPushButton>(GroupBoxPrintreConfig, b.name, b.x, 446, 75, 25);
        connect(this->*b.member, &QPushButton::clicked, this, b.click);
    }

    for (const FieldBinding& binding : kFields) {
        QWidget* control = findChild<QWidget*>(QString::fromLatin1(binding.control));
        Q_ASSERT(control);
        fieldControls_.push_back(control);
    }
    // The English captions until the window applies its language.
    ApplyCaptions(this, ConfigCaptionTable(), LanguageEnglish);
}

void ConfigPage::BuildInformation() {
    GroupBoxPrinterInfo =
        PlaceControl<QGroupBox>(GroupBoxPrintreConfig, "GroupBoxPrinterInfo", 4, 16, 545, 98);
    const Column left{8, 88, 100};
    const Column right{300, 90, 394};
    auto readOnly = [](QLineEdit* edit) { edit->setReadOnly(true); };
    QWidget* box = GroupBoxPrinterInfo;
    readOnly(GridRow(box, left, 18, "LabelVersion").Edit("EditVersion", 190));
    readOnly(GridRow(box, right, 18, "LabelCHecksum").Edit("EditChecksum", 142));
    readOnly(GridRow(box, left, 44, "LabelSerial").Edit("EditSerial", 190));
    GridRow counters(box, right, 44, "LabelCuttingCounter");
    readOnly(counters.Edit("EditCuttingCounter", 69));
    readOnly(counters.Edit("EditResetCuttingCounter", 69));
    GridRow milage(box, left, 70, "LabelMilage");
    readOnly(milage.Edit("EditMilage", 69));
    readOnly(milage.Edit("EditResetMilage", 69));
    milage.Text("LabelKm", 30, QStringLiteral("Km"));
}

void ConfigPage::BuildCommonTab() {
    // Three columns: paper and sensor, position and printer, switches and intensities.
    const Column c0{2, 112, 116};
    const Column c1{210, 90, 302};
    const Column c2{384, 102, 488};
    QWidget* tab = TabSheet5;
    auto length = [tab](const Column& column, int row, const char* label, const char* edit,
                        const char* unit) {
        GridRow r(tab, column, RowY(row), label);
        r.Edit(edit, 56);
        r.Text(unit, 28, QString());
    };

    GridRow(tab, c0, RowY(0), "LabelSpeed").Edit("EditSpeed", 88, 2);
    {
        QStringList densities{QString()};
        for (int i = 0; i <= 15; ++i)
            densities << QString::number(i);
        GridRow density(tab, c0, RowY(1), "LabelDensity");
        density.Combo("ComboBoxDensity", 46, densities);
        density.Base("EditDensityBase", 38);
    }
    length(c0, 2, "LabelWidth", "EditWidth", "LabelUnit1");
    length(c0, 3, "LabelHeight", "EditHeight", "LabelUnit2");
    GridRow(tab, c0, RowY(4), "LabelSensorType")
        .Combo("ComboBoxMediaSensor", 88, Items({"Gap", "Bline", "Continuous"}));
    length(c0, 5, "LabelVirticalGap", "EditGapSize", "LabelUnit3");
    length(c0, 6, "LabelGapOffset", "EditGapOffset", "LabelUnit4");
    length(c0, 7, "LabelMaximumLength", "EditMaximumLength", "LabelUnit9");
    GridRow(tab, c0, RowY(8), "LabelThresholdDetection")
        .Combo("ComboBoxThreshold", 88, Items({"MANUAL", "AUTO"}));

    GridRow(tab, c1, RowY(0), "LabelPrintOut")
        .Combo("ComboBoxPrintOut", 76, Items({"OFF", "TEAR", "PEEL", "CUTTER"}));
    GridRow(tab, c1, RowY(1), "LabelCutterPiece").Edit("EditCutterPiece", 44);
    {
        GridRow reference(tab, c1, RowY(2), "LabelReference");
        reference.Edit("EditReferenceX", 36);
        reference.Edit("EditReferenceY", 36);
        GridRow direction(tab, c1, RowY(3), "LabelDirection");
        direction.Combo("ComboBoxDirection", 36, Items({"0", "1"}));
        direction.Combo("ComboBoxMirror", 36, Items({"0", "1"}));
        GridRow offset(tab, c1, RowY(4), "LabelOffset");
        offset.Edit("EditOffset", 44);
        offset.Base("EditOffsetBase", 28);
        GridRow shiftX(tab, c1, RowY(5), "LabelShiftX");
        shiftX.Edit("EditShiftX", 44);
        shiftX.Base("EditShiftXBase", 28);
        GridRow shiftY(tab, c1, RowY(6), "LabelShiftY");
        shiftY.Edit("EditShiftY", 44);
        shiftY.Base("EditShiftYBase", 28);
    }
    GridRow(tab, c1, RowY(7), "LabelCodePage")
        .Combo("ComboBoxCodePage", 76, WithEmptyFirst(kCodePageTable));
    GridRow(tab, c1, RowY(8), "LabelCountryCode")
        .Combo("ComboBoxCountryCode", 76, WithEmptyFirst(kCountryCodeTable));

    GridRow(tab, c2, RowY(0), "LabelRibbon").Combo("ComboBoxRibbon", 50, kOffOn);
    GridRow(tab, c2, RowY(1), "LabelRibbonSensor").Combo("ComboBoxRibbonSensor", 50, kOffOn);
    GridRow(tab, c2, RowY(2), "LabelRibbonEncoder").Combo("ComboBoxRibbonEncoder", 50, kOffOn);
    GridRow(tab, c2, RowY(3), "LabelHead").Combo("ComboBoxHead", 50, kOffOn);
    GridRow(tab, c2, RowY(4), "LabelReprint").Combo("ComboBoxReprint", 50, kOffOn);
    GridRow(tab, c2, RowY(6), "LabelGapInten").Edit("EditGapInten", 50);
    GridRow(tab, c2, RowY(7), "LabelBlineInten").Edit("EditBlineInten", 50);
    GridRow(tab, c2, RowY(8), "LabelContinuousInten").Edit("EditContinuousInten", 50);
}

void ConfigPage::BuildZTab() {
    const Column c0{8, 100, 110};
    const Column c1{250, 100, 352};
    QWidget* tab = TabSheet6;
    const QStringList actions = Items({"FEED", "CALIBRATION", "LENGTH", "NO MOTION"});
    {
        GridRow darkness(tab, c0, RowY(0), "LabelDarknessZ");
        darkness.Edit("EditDarknessZ", 44, 2);
        darkness.Text("LabelDarknessRangeZ", 90, QStringLiteral("0 to 30"));
    }
    GridRow(tab, c0, RowY(1), "LabelPrintSpeedZ").Edit("EditPrintSpeedZ", 44);
    {
        GridRow tearOff(tab, c0, RowY(2), "LabelTearOffZ");
        tearOff.Edit("EditTearOffZ", 44, 4);
        tearOff.Text("LabelTearOffRangeZ", 90, QStringLiteral("-120 to 120"));
    }
    GridRow(tab, c0, RowY(3), "LabelPrintModeZ")
        .Combo("ComboBoxPrintModeZ", 90, Items({"TEAR OFF", "PEEL OFF", "CUTTER"}));
    {
        GridRow width(tab, c0, RowY(4), "LabelPrintWidthZ");
        width.Edit("EditPrintWidthZ", 56);
        width.Text("LabelUnit5", 30, QString());
    }
    GridRow(tab, c0, RowY(5), "LabelControlPrefixZ").Edit("EditControlPrefixZ", 24, 1);

    GridRow(tab, c1, RowY(0), "LabelFormatPrefixZ").Edit("EditFormatPrefixZ", 24, 1);
    GridRow(tab, c1, RowY(1), "LabelDelimiterCharZ").Edit("EditDelimiterCharZ", 24, 1);
    GridRow(tab, c1, RowY(2), "LabelMediaPowerUpZ").Combo("ComboBoxMediaPowerUpZ", 104, actions);
    GridRow(tab, c1, RowY(3), "LabelHeadCloseZ").Combo("ComboBoxHeadCloseZ", 104, actions);
    {
        GridRow top(tab, c1, RowY(4), "LabelLabelTopZ");
        top.Edit("EditLabelTopZ", 44, 4);
        top.Text("LabelLabelTopRangeZ", 90, QStringLiteral("-120 to 120"));
        GridRow left(tab, c1, RowY(5), "LabelLeftPositionZ");
        left.Edit("EditLeftPositionZ", 44, 5);
        left.Text("LabelLeftPositionRangeZ", 90, QStringLiteral("-9999 to 9999"));
    }
    // The prefixes and the delimiter are single printable characters of the command
    // language.
    for (const char* name : {"EditControlPrefixZ", "EditFormatPrefixZ", "EditDelimiterCharZ"}) {
        auto* edit = tab->findChild<QLineEdit*>(QString::fromLatin1(name));
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[\\x21-\\x7e]?")), edit));
    }
}

void ConfigPage::BuildDTab() {
    const Column c0{8, 100, 110};
    const Column c1{266, 100, 368};
    QWidget* tab = TabSheet7;
    {
        GridRow heat(tab, c0, RowY(0), "LabelHeatD");
        heat.Edit("EditHeatD", 44, 2);
        heat.Text("LabelHeatRangeD", 90, QStringLiteral("0 to 30"));
    }
    GridRow(tab, c0, RowY(1), "LabelPrintSpeedD").Edit("EditPrintSpeedD", 110);
    {
        GridRow width(tab, c0, RowY(2), "LabelLabelWidthD");
        width.Edit("EditLabelWidthD", 56);
        width.Text("LabelUnit6", 30, QString());
    }
    GridRow(tab, c0, RowY(3), "LabelPresentSensorD").Combo("ComboBoxPresentSensorD", 60, kOffOn);

    GridRow(tab, c1, RowY(0), "LabelCutterEquippedD").Combo("ComboBoxCutterEquippedD", 60, kOffOn);
    GridRow(tab, c1, RowY(1), "LabelControlCodesD")
        .Combo("ComboBoxControlCodesD", 96, Items({"Standard", "Alternate", "Alternate-2"}));
    {
        GridRow column(tab, c1, RowY(2), "LabelColumnOffsetD");
        column.Edit("EditColumnOffsetD", 56);
        column.Text("LabelUnit7", 30, QString());
        GridRow row(tab, c1, RowY(3), "LabelRowOffsetD");
        row.Edit("EditRowOffsetD", 56);
        row.Text("LabelUnit8", 30, QString());
    }
}

void ConfigPage::BuildInterfaceTab() {
    const Column c0{8, 100, 110};
    QWidget* tab = TabSheet8;
    GridRow(tab, c0, RowY(0), "LabelBaudrate")
        .Combo("ComboBoxBaudrate", 90, WithEmptyFirst(std::span(kBaudRateTable).subspan(1)));
    GridRow(tab, c0, RowY(1), "LabelDataBit")
        .Combo("ComboBoxDatabit", 90, WithEmptyFirst(kDataBitsTable));
    GridRow(tab, c0, RowY(2), "LabelParity")
        .Combo("ComboBoxParity", 90, WithEmptyFirst(kParityTable));
    GridRow(tab, c0, RowY(3), "LabelStopBit")
        .Combo("ComboBoxStopBit", 90, WithEmptyFirst(kStopBitsTable));
}

std::span<const CaptionEntry> ConfigPage::Captions() const {
    return ConfigCaptionTable();
}

void ConfigPage::InterfaceChanged(InterfaceKind kind) {
    ButtonRead->setEnabled(kind != InterfaceLpt);
}

void ConfigPage::StartupDone() {
    ShowConfig(Records().StoredConfig);
}

double ConfigPage::UnitFactor(const PrinterConfig& config) {
    return static_cast<double>(Host().UnitIndex() == 1 ? config.DotsPerMm : config.Dpi);
}

void ConfigPage::ShowConfig(const PrinterConfig& config) {
    auto text = [this](const char* name, const QString& value) {
        ShowText(findChild<QLineEdit*>(QString::fromLatin1(name)), value);
    };
    text("EditVersion", FixedText(config.Version, FixedTextKind::Printer));
    text("EditSerial", FixedText(config.Serial, FixedTextKind::Printer));
    text("EditChecksum", FixedText(config.Checksum, FixedTextKind::Printer));
    text("EditCuttingCounter", QString::number(config.CutCounter));
    text("EditResetCuttingCounter", QString::number(config.ResetCutCounter));
    text("EditMilage", FixedText(config.Milage, FixedTextKind::Printer));
    text("EditResetMilage", FixedText(config.ResetMilage, FixedTextKind::Printer));

    // The table lists ComboBoxPrintOut before EditCutterPiece, which depends on it.
    const ShowContext cx{UnitFactor(config), QLocale(),
                         findChild<QComboBox*>(QStringLiteral("ComboBoxPrintOut"))};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const FieldBinding& binding = kFields[i];
        std::visit(
            [&](auto member) { ShowField(config.*member, binding.rule, fieldControls_[i], cx); },
            binding.field);
    }
}

bool ConfigPage::CollectConfig(PrinterConfig& into) {
    into.InchUnit = Host().UnitIndex() == 0 ? 1 : 0;
    const ShowContext cx{UnitFactor(into), QLocale(), nullptr};
    QString failure;
    for (size_t i = 0; i < std::size(kFields) && failure.isEmpty(); ++i) {
        const FieldBinding& binding = kFields[i];
        std::visit(
            [&](auto member) {
                CollectField(into.*member, binding.rule, fieldControls_[i], cx, failure);
            },
            binding.field);
    }
    if (failure.isEmpty())
        return true;
    Host().Prompts().Error(Host().HostWindow(), failure);
    return false;
}

void ConfigPage::ButtonReadClick() {
    PrinterConfig working = DefaultPrinterConfig();
    // Extra 1: the read shows the progress window.
    if (Host().Run<Op::ReadConfiguration>(working, 1) != LinkOk)
        return;
    Records().StoredConfig = working;
    ShowConfig(Records().StoredConfig);
}

void ConfigPage::ButtonConfigSetClick() {
    // Set sends the page on a copy: the stored configuration stays as read or loaded.
    PrinterConfig working = Records().StoredConfig;
    if (!GateAllows(PasswordGate(Host())))
        return;
    if (!CollectConfig(working))
        return;
    Host().Run<Op::WriteConfiguration>(working, PageControl2->currentIndex());
}

void ConfigPage::ButtonClearClick() {
    SetConfigDefaults(Records().StoredConfig);
    ShowConfig(Records().StoredConfig);
}

void ConfigPage::ButtonSaveClick() {
    Prompter::FileDialogOptions options;
    options.filter = kDcfFilter;
    options.filterIndex = 0;
    options.defaultExtension = QStringLiteral("dcf");
    options.fileName = lastSaveName_;
    const std::optional<QString> path = Host().Prompts().SaveFile(Host().HostWindow(), options);
    if (!path)
        return;
    lastSaveName_ = *path;

    // The page goes into the stored configuration only once every value converted.
    PrinterConfig collected = Records().StoredConfig;
    if (!CollectConfig(collected))
        return;
    Records().StoredConfig = collected;

    const QByteArray image =
        EncodeConfigFile({Host().UnitIndex(), Records().StoredConfig, Records().Status});
    if (!SaveWholeFile(*path, image))
        Host().Prompts().Error(Host().HostWindow(), QStringLiteral("Save File Error"));
}

void ConfigPage::ButtonLoadClick() {
    Prompter::FileDialogOptions options;
    options.filter = kDcfFilter;
    options.filterIndex = 0;
    const std::optional<QString> path = Host().Prompts().OpenFile(Host().HostWindow(), options);
    if (!path)
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.read(kConfigFileSize);
    file.close();

    const std::optional<ConfigFileContent> content = DecodeConfigFile(bytes);
    if (!content) {
        Host().Prompts().Error(Host().HostWindow(), QStringLiteral("File Data Error"));
        return;
    }
    Host().SelectUnit(content->UnitIndex);
    Records().StoredConfig = content->Config;
    Records().Status = content->Status;
    Host().ShowPrinterStatus(Records().Status);
    ShowConfig(Records().StoredConfig);
}
