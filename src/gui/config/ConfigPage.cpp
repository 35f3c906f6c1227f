#include "gui/config/ConfigPage.h"

#include "config/ConfigFile.h"
#include "config/ConfigTables.h"
#include "config/SettingsTable.h"
#include "gui/config/ConfigCaptions.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/TypedNumber.h"
#include "gui/kit/WindowFiles.h"
#include "gui/password/PasswordGate.h"
#include "link/FixedText.h"
#include "numbers/NumberText.h"
#include "operations/OperationCode.h"

#include <QComboBox>
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

void ShowField(const ConfigInt& item, FieldRule rule, QWidget* control, const ShowContext& cx) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    auto* combo = qobject_cast<QComboBox*>(control);
    const bool valid = item.valid != 0;
    switch (rule) {
    case FieldRule::Integer:
        ShowText(edit, valid ? QString::number(item.value) : QString());
        break;
    case FieldRule::CutterPiece:
        ShowText(edit, valid && cx.printOut->currentIndex() == kCutterItem
                           ? QString::number(item.value)
                           : QString());
        break;
    case FieldRule::Base:
        edit->setVisible(valid && item.value != 0);
        ShowText(edit, valid && item.value != 0 ? QString::number(item.value) : QString());
        break;
    case FieldRule::LengthDots:
        ShowText(edit, valid ? FixedTwoText(item.value / cx.factor, cx.locale) : QString());
        break;
    case FieldRule::ComboShifted:
        SelectItem(combo, valid ? int64_t{item.value} + 1 : -1);
        break;
    case FieldRule::ComboDirect:
        SelectItem(combo, valid ? int64_t{item.value} : -1);
        break;
    default:
        break;
    }
}

void ShowField(const ConfigFloat& item, FieldRule rule, QWidget* control, const ShowContext& cx) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (!item.valid)
        ShowText(edit, QString());
    else if (rule == FieldRule::Length)
        ShowText(edit, FixedTwoText(static_cast<double>(item.value) / cx.factor, cx.locale));
    else
        ShowText(edit, ShortestText(item.value, cx.locale));
}

void ShowField(const ConfigChar& item, FieldRule, QWidget* control, const ShowContext&) {
    ShowText(qobject_cast<QLineEdit*>(control),
             item.valid ? QString(QChar::fromLatin1(item.value)) : QString());
}

// Collection stops at the first control whose text does not convert; `failure` then holds
// the conversion message.
void CollectField(ConfigInt& item, FieldRule rule, QWidget* control, const ShowContext& cx,
                  QString& failure) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = combo->currentIndex();
        item.valid = index > 0 ? 1 : 0;
        if (index > 0)
            item.value = rule == FieldRule::ComboShifted ? index - 1 : index;
        return;
    }
    if (rule == FieldRule::Base)
        return;
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    if (text.isEmpty()) {
        item.valid = 0;
        return;
    }
    if (rule == FieldRule::LengthDots) {
        const std::optional<double> real = TypedFloat(text);
        const double dots = real ? LengthToDots(*real, cx.factor, rule) : 0.0;
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

void CollectField(ConfigFloat& item, FieldRule rule, QWidget* control, const ShowContext& cx,
                  QString& failure) {
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    if (text.isEmpty()) {
        item.valid = 0;
        return;
    }
    std::optional<double> real = rule == FieldRule::Speed ? TypedSpeed(text) : TypedFloat(text);
    if (real && rule == FieldRule::Length)
        *real = LengthToDots(*real, cx.factor, rule);
    if (!real || !std::isfinite(static_cast<float>(*real))) {
        failure = NotARealMessage(text);
        return;
    }
    SetItem(item, static_cast<float>(*real));
}

void CollectField(ConfigChar& item, FieldRule, QWidget* control, const ShowContext&, QString&) {
    const QString text = qobject_cast<QLineEdit*>(control)->text();
    item.valid = text.isEmpty() ? 0 : 1;
    if (!text.isEmpty())
        item.value = text.at(0).toLatin1();
}

constexpr int kRowHeight = 21;
constexpr int kGridTop = 8;
constexpr int kGridStep = 31;

// A column of a tab's grid: where its labels start, how wide they are, where the controls
// start. Each row of it is a ControlRow: the label, then the controls 4 pixels apart.
struct Column {
    int labelX;
    int labelWidth;
    int controlX;

    QRect Label(int y) const { return {labelX, y, labelWidth, kRowHeight}; }
};

int RowY(int row) {
    return kGridTop + row * kGridStep;
}

// A list shows no item until the page shows a configuration.
QComboBox* Unselected(QComboBox* combo, const QStringList& items = {}) {
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

// A read-only edit beside a setting, shown only when the printer reports a base value.
void BaseEdit(QLineEdit* edit) {
    edit->setReadOnly(true);
    edit->hide();
}

// The numbers a list of the named setting offers, after the empty first item.
QStringList NumberItems(const char* setting) {
    const PageSetting* field = FindPageSetting(setting);
    QStringList items{QString()};
    for (int32_t i = field->low; i <= field->high; ++i)
        items << QString::number(i);
    return items;
}

// The hint beside an edit of the named setting: its range, "0 to 30".
QString RangeHint(const char* setting) {
    const PageSetting* field = FindPageSetting(setting);
    return QString::number(field->low) + QStringLiteral(" to ") + QString::number(field->high);
}

QStringList WithEmptyFirst(std::span<const char* const> entries) {
    QStringList items{QString()};
    for (const char* entry : entries)
        items << QString::fromLatin1(entry);
    return items;
}

} // namespace

ConfigPage::ConfigPage(OperationHost& host, ConfigPageRecords records, QWidget* parent)
    : MainPage(host, parent), records_(records) {
    ControlKit kit(this, ConfigCaptionTable());
    GroupBoxPrintreConfig = kit.Add<QGroupBox>(this, "GroupBoxPrintreConfig", {0, 0, 553, 481});
    BuildInformation();

    PageControl2 = kit.Add<QTabWidget>(GroupBoxPrintreConfig, "PageControl2", {4, 120, 545, 318});
    // The tabs "Common", "Z" and "D" are not translated.
    TabSheet5 = kit.AddPage(PageControl2, "TabSheet5", QStringLiteral("Common"));
    TabSheet6 = kit.AddPage(PageControl2, "TabSheet6", QStringLiteral("Z"));
    TabSheet7 = kit.AddPage(PageControl2, "TabSheet7", QStringLiteral("D"));
    TabSheet8 = kit.AddPage(PageControl2, "TabSheet8");
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
        this->*b.member = kit.Add<QPushButton>(GroupBoxPrintreConfig, b.name, {b.x, 446, 75, 25});
        connect(this->*b.member, &QPushButton::clicked, this, b.click);
    }

    for (const PageSetting& binding : PageSettingTable()) {
        QWidget* control = findChild<QWidget*>(QString::fromLatin1(binding.control));
        Q_ASSERT(control);
        fieldControls_.push_back(control);
    }
}

void ConfigPage::BuildInformation() {
    ControlKit kit(this, ConfigCaptionTable());
    GroupBoxPrinterInfo =
        kit.Add<QGroupBox>(GroupBoxPrintreConfig, "GroupBoxPrinterInfo", {4, 16, 545, 98});
    const Column left{8, 88, 100};
    const Column right{300, 90, 394};
    QWidget* box = GroupBoxPrinterInfo;
    auto row = [&kit, box](const Column& column, int y, const char* label) {
        return kit.Row(box, label, column.Label(y), column.controlX);
    };
    std::vector<QLineEdit*> shown;
    shown.push_back(row(left, 18, "LabelVersion").Add<QLineEdit>("EditVersion", 190));
    shown.push_back(row(right, 18, "LabelCHecksum").Add<QLineEdit>("EditChecksum", 142));
    shown.push_back(row(left, 44, "LabelSerial").Add<QLineEdit>("EditSerial", 190));
    ControlRow counters = row(right, 44, "LabelCuttingCounter");
    shown.push_back(counters.Add<QLineEdit>("EditCuttingCounter", 69));
    shown.push_back(counters.Add<QLineEdit>("EditResetCuttingCounter", 69));
    ControlRow milage = row(left, 70, "LabelMilage");
    shown.push_back(milage.Add<QLineEdit>("EditMilage", 69));
    shown.push_back(milage.Add<QLineEdit>("EditResetMilage", 69));
    milage.AddText<QLabel>("LabelKm", 30, QStringLiteral("Km"));
    for (QLineEdit* edit : shown)
        edit->setReadOnly(true);
}

void ConfigPage::BuildCommonTab() {
    ControlKit kit(this, ConfigCaptionTable());
    // Three columns: paper and sensor, position and printer, switches and intensities.
    const Column c0{2, 112, 116};
    const Column c1{210, 90, 302};
    const Column c2{384, 102, 488};
    QWidget* tab = TabSheet5;
    auto row = [&kit, tab](const Column& column, int index, const char* label) {
        return kit.Row(tab, label, column.Label(RowY(index)), column.controlX);
    };
    auto length = [&row](const Column& column, int index, const char* label, const char* edit,
                         const char* unit) {
        ControlRow r = row(column, index, label);
        r.Add<QLineEdit>(edit, 56);
        r.Add<QLabel>(unit, 28);
    };

    LimitTyping(row(c0, 0, "LabelSpeed").Add<QLineEdit>("EditSpeed", 88), 2);
    {
        ControlRow density = row(c0, 1, "LabelDensity");
        Unselected(density.Add<QComboBox>("ComboBoxDensity", 46), NumberItems("density"));
        BaseEdit(density.Add<QLineEdit>("EditDensityBase", 38));
    }
    length(c0, 2, "LabelWidth", "EditWidth", "LabelUnit1");
    length(c0, 3, "LabelHeight", "EditHeight", "LabelUnit2");
    Unselected(row(c0, 4, "LabelSensorType").Add<QComboBox>("ComboBoxMediaSensor", 88));
    length(c0, 5, "LabelVirticalGap", "EditGapSize", "LabelUnit3");
    length(c0, 6, "LabelGapOffset", "EditGapOffset", "LabelUnit4");
    length(c0, 7, "LabelMaximumLength", "EditMaximumLength", "LabelUnit9");
    Unselected(row(c0, 8, "LabelThresholdDetection").Add<QComboBox>("ComboBoxThreshold", 88));

    Unselected(row(c1, 0, "LabelPrintOut").Add<QComboBox>("ComboBoxPrintOut", 76));
    row(c1, 1, "LabelCutterPiece").Add<QLineEdit>("EditCutterPiece", 44);
    {
        ControlRow reference = row(c1, 2, "LabelReference");
        reference.Add<QLineEdit>("EditReferenceX", 36);
        reference.Add<QLineEdit>("EditReferenceY", 36);
        ControlRow direction = row(c1, 3, "LabelDirection");
        Unselected(direction.Add<QComboBox>("ComboBoxDirection", 36), NumberItems("direction"));
        Unselected(direction.Add<QComboBox>("ComboBoxMirror", 36), NumberItems("mirror"));
        ControlRow offset = row(c1, 4, "LabelOffset");
        offset.Add<QLineEdit>("EditOffset", 44);
        BaseEdit(offset.Add<QLineEdit>("EditOffsetBase", 28));
        ControlRow shiftX = row(c1, 5, "LabelShiftX");
        shiftX.Add<QLineEdit>("EditShiftX", 44);
        BaseEdit(shiftX.Add<QLineEdit>("EditShiftXBase", 28));
        ControlRow shiftY = row(c1, 6, "LabelShiftY");
        shiftY.Add<QLineEdit>("EditShiftY", 44);
        BaseEdit(shiftY.Add<QLineEdit>("EditShiftYBase", 28));
    }
    Unselected(row(c1, 7, "LabelCodePage").Add<QComboBox>("ComboBoxCodePage", 76),
               WithEmptyFirst(kCodePageTable));
    Unselected(row(c1, 8, "LabelCountryCode").Add<QComboBox>("ComboBoxCountryCode", 76),
               WithEmptyFirst(kCountryCodeTable));

    Unselected(row(c2, 0, "LabelRibbon").Add<QComboBox>("ComboBoxRibbon", 50));
    Unselected(row(c2, 1, "LabelRibbonSensor").Add<QComboBox>("ComboBoxRibbonSensor", 50));
    Unselected(row(c2, 2, "LabelRibbonEncoder").Add<QComboBox>("ComboBoxRibbonEncoder", 50));
    Unselected(row(c2, 3, "LabelHead").Add<QComboBox>("ComboBoxHead", 50));
    Unselected(row(c2, 4, "LabelReprint").Add<QComboBox>("ComboBoxReprint", 50));
    row(c2, 6, "LabelGapInten").Add<QLineEdit>("EditGapInten", 50);
    row(c2, 7, "LabelBlineInten").Add<QLineEdit>("EditBlineInten", 50);
    row(c2, 8, "LabelContinuousInten").Add<QLineEdit>("EditContinuousInten", 50);
}

void ConfigPage::BuildZTab() {
    ControlKit kit(this, ConfigCaptionTable());
    const Column c0{8, 100, 110};
    const Column c1{250, 100, 352};
    QWidget* tab = TabSheet6;
    auto row = [&kit, tab](const Column& column, int index, const char* label) {
        return kit.Row(tab, label, column.Label(RowY(index)), column.controlX);
    };
    {
        ControlRow darkness = row(c0, 0, "LabelDarknessZ");
        LimitTyping(darkness.Add<QLineEdit>("EditDarknessZ", 44), 2);
        darkness.AddText<QLabel>("LabelDarknessRangeZ", 90, RangeHint("z_darkness"));
    }
    row(c0, 1, "LabelPrintSpeedZ").Add<QLineEdit>("EditPrintSpeedZ", 44);
    {
        ControlRow tearOff = row(c0, 2, "LabelTearOffZ");
        LimitTyping(tearOff.Add<QLineEdit>("EditTearOffZ", 44), 4);
        tearOff.AddText<QLabel>("LabelTearOffRangeZ", 90, RangeHint("z_tear_off"));
    }
    Unselected(row(c0, 3, "LabelPrintModeZ").Add<QComboBox>("ComboBoxPrintModeZ", 90));
    {
        ControlRow width = row(c0, 4, "LabelPrintWidthZ");
        width.Add<QLineEdit>("EditPrintWidthZ", 56);
        width.Add<QLabel>("LabelUnit5", 30);
    }
    LimitTyping(row(c0, 5, "LabelControlPrefixZ").Add<QLineEdit>("EditControlPrefixZ", 24), 1);

    LimitTyping(row(c1, 0, "LabelFormatPrefixZ").Add<QLineEdit>("EditFormatPrefixZ", 24), 1);
    LimitTyping(row(c1, 1, "LabelDelimiterCharZ").Add<QLineEdit>("EditDelimiterCharZ", 24), 1);
    Unselected(row(c1, 2, "LabelMediaPowerUpZ").Add<QComboBox>("ComboBoxMediaPowerUpZ", 104));
    Unselected(row(c1, 3, "LabelHeadCloseZ").Add<QComboBox>("ComboBoxHeadCloseZ", 104));
    {
        ControlRow top = row(c1, 4, "LabelLabelTopZ");
        LimitTyping(top.Add<QLineEdit>("EditLabelTopZ", 44), 4);
        top.AddText<QLabel>("LabelLabelTopRangeZ", 90, RangeHint("z_label_top"));
        ControlRow left = row(c1, 5, "LabelLeftPositionZ");
        LimitTyping(left.Add<QLineEdit>("EditLeftPositionZ", 44), 5);
        left.AddText<QLabel>("LabelLeftPositionRangeZ", 90, RangeHint("z_left_position"));
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
    ControlKit kit(this, ConfigCaptionTable());
    const Column c0{8, 100, 110};
    const Column c1{266, 100, 368};
    QWidget* tab = TabSheet7;
    auto row = [&kit, tab](const Column& column, int index, const char* label) {
        return kit.Row(tab, label, column.Label(RowY(index)), column.controlX);
    };
    {
        ControlRow heat = row(c0, 0, "LabelHeatD");
        LimitTyping(heat.Add<QLineEdit>("EditHeatD", 44), 2);
        heat.AddText<QLabel>("LabelHeatRangeD", 90, RangeHint("d_heat"));
    }
    row(c0, 1, "LabelPrintSpeedD").Add<QLineEdit>("EditPrintSpeedD", 110);
    {
        ControlRow width = row(c0, 2, "LabelLabelWidthD");
        width.Add<QLineEdit>("EditLabelWidthD", 56);
        width.Add<QLabel>("LabelUnit6", 30);
    }
    Unselected(row(c0, 3, "LabelPresentSensorD").Add<QComboBox>("ComboBoxPresentSensorD", 60));

    Unselected(row(c1, 0, "LabelCutterEquippedD").Add<QComboBox>("ComboBoxCutterEquippedD", 60));
    Unselected(row(c1, 1, "LabelControlCodesD").Add<QComboBox>("ComboBoxControlCodesD", 96));
    {
        ControlRow columnOffset = row(c1, 2, "LabelColumnOffsetD");
        columnOffset.Add<QLineEdit>("EditColumnOffsetD", 56);
        columnOffset.Add<QLabel>("LabelUnit7", 30);
        ControlRow rowOffset = row(c1, 3, "LabelRowOffsetD");
        rowOffset.Add<QLineEdit>("EditRowOffsetD", 56);
        rowOffset.Add<QLabel>("LabelUnit8", 30);
    }
}

void ConfigPage::BuildInterfaceTab() {
    ControlKit kit(this, ConfigCaptionTable());
    const Column c0{8, 100, 110};
    QWidget* tab = TabSheet8;
    auto row = [&kit, tab](const Column& column, int index, const char* label) {
        return kit.Row(tab, label, column.Label(RowY(index)), column.controlX);
    };
    Unselected(row(c0, 0, "LabelBaudrate").Add<QComboBox>("ComboBoxBaudrate", 90),
               WithEmptyFirst(std::span(kBaudRateTable).subspan(1)));
    Unselected(row(c0, 1, "LabelDataBit").Add<QComboBox>("ComboBoxDatabit", 90),
               WithEmptyFirst(kDataBitsTable));
    Unselected(row(c0, 2, "LabelParity").Add<QComboBox>("ComboBoxParity", 90),
               WithEmptyFirst(kParityTable));
    Unselected(row(c0, 3, "LabelStopBit").Add<QComboBox>("ComboBoxStopBit", 90),
               WithEmptyFirst(kStopBitsTable));
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
    const std::span<const PageSetting> fields = PageSettingTable();
    for (size_t i = 0; i < fields.size(); ++i) {
        const PageSetting& binding = fields[i];
        std::visit(
            [&](auto member) { ShowField(config.*member, binding.rule, fieldControls_[i], cx); },
            binding.field);
    }
}

bool ConfigPage::CollectConfig(PrinterConfig& into) {
    into.InchUnit = Host().UnitIndex() == 0 ? 1 : 0;
    const ShowContext cx{UnitFactor(into), QLocale(), nullptr};
    QString failure;
    const std::span<const PageSetting> fields = PageSettingTable();
    for (size_t i = 0; i < fields.size() && failure.isEmpty(); ++i) {
        const PageSetting& binding = fields[i];
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
    SaveWholeFile(Host(), *path, image, QStringLiteral("Save File Error"));
}

void ConfigPage::ButtonLoadClick() {
    Prompter::FileDialogOptions options;
    options.filter = kDcfFilter;
    options.filterIndex = 0;
    const std::optional<QString> path = Host().Prompts().OpenFile(Host().HostWindow(), options);
    if (!path)
        return;
    // A file that cannot be opened: nothing, no message; one that breaks off is not a whole
    // image.
    const std::optional<QByteArray> bytes = LoadWholeFile(
        Host(), *path,
        {.cannotRead = QStringLiteral("File Data Error"), .readLimit = kConfigFileSize});
    if (!bytes)
        return;

    const std::optional<ConfigFileContent> content = DecodeConfigFile(*bytes);
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
