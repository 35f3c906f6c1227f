#include "config/SettingsDocument.h"

#include "config/ConfigCommands.h"

#include <yaml-cpp/yaml.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace {

// The facts a document may carry: the record's read-only parts.
enum class FactKind { Edition, Dpi, DotsPerMm, Text, Number };

struct Fact {
    const char* name;
    FactKind kind;
    size_t textSize = 0;
};

const Fact kFacts[] = {
    {"edition", FactKind::Edition},
    {"dpi", FactKind::Dpi},
    {"dots_per_mm", FactKind::DotsPerMm},
    {"version", FactKind::Text, sizeof(PrinterConfig::Version)},
    {"serial", FactKind::Text, sizeof(PrinterConfig::Serial)},
    {"checksum", FactKind::Text, sizeof(PrinterConfig::Checksum)},
    {"mileage", FactKind::Text, sizeof(PrinterConfig::Milage)},
    {"reset_mileage", FactKind::Text, sizeof(PrinterConfig::ResetMilage)},
    {"cut_counter", FactKind::Number},
    {"reset_cut_counter", FactKind::Number},
};

char* FactText(const Fact& fact, PrinterConfig& config) {
    const std::string_view name = fact.name;
    if (name == "version")
        return config.Version;
    if (name == "serial")
        return config.Serial;
    if (name == "checksum")
        return config.Checksum;
    if (name == "mileage")
        return config.Milage;
    return config.ResetMilage;
}

const char* FactText(const Fact& fact, const PrinterConfig& config) {
    return FactText(fact, const_cast<PrinterConfig&>(config));
}

// The counters by name, through the record's own members: the record is packed, and a
// pointer to an int32_t member would not know that its field may be unaligned.
int32_t FactNumber(const Fact& fact, const PrinterConfig& config) {
    return std::string_view(fact.name) == "cut_counter" ? config.CutCounter
                                                        : config.ResetCutCounter;
}

void SetFactNumber(const Fact& fact, PrinterConfig& config, int32_t value) {
    if (std::string_view(fact.name) == "cut_counter")
        config.CutCounter = value;
    else
        config.ResetCutCounter = value;
}

const Fact* FindFact(std::string_view name) {
    for (const Fact& fact : kFacts) {
        if (name == fact.name)
            return &fact;
    }
    return nullptr;
}

// Base values are facts too, under the name of their table entry.
const PageSetting* FindBase(std::string_view name) {
    const PageSetting* field = FindPageSetting(name);
    return field && field->rule == FieldRule::Base ? field : nullptr;
}

bool IsLength(const PageSetting& field) {
    return field.rule == FieldRule::Length || field.rule == FieldRule::LengthDots;
}

bool IsReal(const PageSetting& field) {
    return field.rule == FieldRule::Real || field.rule == FieldRule::Speed;
}

bool IsCombo(const PageSetting& field) {
    return field.rule == FieldRule::ComboShifted || field.rule == FieldRule::ComboDirect;
}

bool IsOffOn(const PageSetting& field) {
    return field.choices.size() == 2 && std::strcmp(field.choices[0], "off") == 0 &&
           std::strcmp(field.choices[1], "on") == 0;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

template <typename Number> std::optional<Number> WholeNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

std::optional<LengthUnit> UnitOf(std::string_view text) {
    const std::string unit = Lower(Trimmed(text));
    if (unit == "in" || unit == "inch")
        return LengthUnit::Inch;
    if (unit == "mm")
        return LengthUnit::Mm;
    if (unit == "dot" || unit == "dots")
        return LengthUnit::Dots;
    return std::nullopt;
}

const char* UnitName(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Inch:
        return "in";
    case LengthUnit::Mm:
        return "mm";
    case LengthUnit::Dots:
        return "dots";
    default:
        return "";
    }
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string ClosestSetting(std::string_view name) {
    std::string best;
    size_t bestDistance = std::numeric_limits<size_t>::max();
    for (const PageSetting& field : PageSettingTable()) {
        if (field.rule == FieldRule::Base)
            continue;
        const size_t distance = EditDistance(Lower(name), field.name);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = field.name;
        }
    }
    return best;
}

std::string ChoiceList(const PageSetting& field) {
    std::string list;
    for (const char* name : field.choices)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::string RangeText(const PageSetting& field) {
    return std::to_string(field.low) + " to " + std::to_string(field.high);
}

int LineOf(const YAML::Node& node) {
    return node.Mark().line >= 0 ? node.Mark().line + 1 : 0;
}

// Reads one setting's value; the fault's text when it is not right.
std::optional<std::string> ReadValue(const PageSetting& field, const YAML::Node& value,
                                     LengthUnit documentUnit, DocumentSetting& setting) {
    if (value.IsNull())
        return field.rule == FieldRule::Character
                   ? "has no value (write a character such as ~ in quotes)"
                   : "has no value";
    if (!value.IsScalar())
        return "takes a single value, not a list or a map";
    const std::string text = value.Scalar();
    if (IsCombo(field) && field.IsChoice()) {
        std::string wanted = Lower(Trimmed(text));
        if (IsOffOn(field) && (wanted == "true" || wanted == "yes"))
            wanted = "on";
        if (IsOffOn(field) && (wanted == "false" || wanted == "no"))
            wanted = "off";
        for (size_t i = 0; i < field.choices.size(); ++i) {
            if (wanted == Lower(field.choices[i])) {
                setting.integer = field.ChoiceValue(static_cast<int32_t>(i));
                return std::nullopt;
            }
        }
        return "'" + text + "' is not one of: " + ChoiceList(field);
    }
    if (field.rule == FieldRule::Character) {
        if (text.size() != 1 || text[0] < 0x21 || text[0] > 0x7e)
            return "'" + text + "' is not one printable character";
        setting.character = text[0];
        return std::nullopt;
    }
    if (IsLength(field)) {
        std::string_view rest = Trimmed(text);
        size_t split = rest.size();
        while (split > 0 && std::isalpha(static_cast<unsigned char>(rest[split - 1])))
            --split;
        const std::optional<double> number = WholeNumber<double>(rest.substr(0, split));
        if (!number)
            return "'" + text + "' is not a length (a number and in, mm or dots)";
        LengthUnit unit = documentUnit;
        if (split < rest.size()) {
            const std::optional<LengthUnit> given = UnitOf(rest.substr(split));
            if (!given)
                return "'" + text + "' has an unknown unit (in, mm or dots)";
            unit = *given;
        }
        if (unit == LengthUnit::None)
            return "'" + text + "' is a length without a unit: write it as '" + text + " mm' or '" +
                   text + " in', or give the document a unit:";
        setting.real = *number;
        setting.unit = unit;
        return std::nullopt;
    }
    const bool real = IsReal(field);
    std::optional<double> number = WholeNumber<double>(text);
    if (!real) {
        const std::optional<int32_t> whole = WholeNumber<int32_t>(text);
        number = whole ? std::optional<double>(*whole) : std::nullopt;
    }
    if (!number)
        return "'" + text + (real ? "' is not a number" : "' is not a whole number");
    if (field.HasRange() && (*number < field.low || *number > field.high))
        return text + " is out of range (" + RangeText(field) + ")";
    if (real)
        setting.real = *number;
    else
        setting.integer = static_cast<int32_t>(*number);
    return std::nullopt;
}

void ReadFacts(const YAML::Node& facts, DocumentFacts& into, std::vector<SettingsFault>& faults) {
    if (facts.IsNull())
        return;
    if (!facts.IsMap()) {
        faults.push_back({"facts", LineOf(facts), "must be a map of what the printer reports"});
        return;
    }
    for (const auto& pair : facts) {
        const std::string name = pair.first.Scalar();
        const int line = LineOf(pair.first);
        const YAML::Node& value = pair.second;
        const Fact* fact = FindFact(name);
        const PageSetting* base = FindBase(name);
        if ((!fact && !base) || !value.IsScalar()) {
            faults.push_back(
                {"facts." + name, line, fact || base ? "takes a single value" : "is not a fact"});
            continue;
        }
        const std::string text = value.Scalar();
        if (fact && fact->kind == FactKind::Text) {
            if (text.size() >= fact->textSize)
                faults.push_back({"facts." + name, line, "is too long"});
            else
                into.texts.emplace_back(name, text);
            continue;
        }
        if (fact && (fact->kind == FactKind::Dpi || fact->kind == FactKind::DotsPerMm)) {
            const std::optional<double> number = WholeNumber<double>(text);
            if (!number || *number <= 0.0 || *number > 1e5) {
                faults.push_back({"facts." + name, line, "'" + text + "' is not a resolution"});
                continue;
            }
            (fact->kind == FactKind::Dpi ? into.dpi : into.dotsPerMm) = static_cast<float>(*number);
            continue;
        }
        const std::optional<int32_t> number = WholeNumber<int32_t>(text);
        if (!number) {
            faults.push_back({"facts." + name, line, "'" + text + "' is not a whole number"});
            continue;
        }
        if (fact && fact->kind == FactKind::Edition)
            into.edition = *number;
        else
            into.numbers.emplace_back(name, *number);
    }
}

// Emits a value plain when it reads back as the same scalar of the same kind, otherwise
// in double quotes.
bool PlainScalar(const std::string& text, bool number) {
    if (number)
        return true;
    static const std::set<std::string> kReserved = {"y",   "n",    "yes",   "no",  "on",
                                                    "off", "true", "false", "null"};
    if (text.empty() || kReserved.count(Lower(text)))
        return false;
    const bool digits =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits)
        return text.size() == 1 || text[0] != '0';
    const auto word = [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; };
    // A length: "101.50 mm".
    const size_t space = text.find(' ');
    if (space != std::string::npos && space > 0 && text.find(' ', space + 1) == std::string::npos)
        return std::all_of(text.begin(), text.begin() + static_cast<ptrdiff_t>(space),
                           [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }) &&
               std::all_of(text.begin() + static_cast<ptrdiff_t>(space) + 1, text.end(), word);
    return std::all_of(text.begin(), text.end(), word);
}

struct OutValue {
    std::string text;
    bool number = false;
};

void Emit(YAML::Emitter& out, const OutValue& value, bool json) {
    if (json ? !value.number : !PlainScalar(value.text, value.number))
        out << YAML::DoubleQuoted;
    out << value.text;
}

void EmitKey(YAML::Emitter& out, const char* key, bool json) {
    out << YAML::Key;
    if (json)
        out << YAML::DoubleQuoted;
    out << key << YAML::Value;
}

OutValue FieldOut(const PageSetting& field, const PrinterConfig& config, LengthUnit unit) {
    const std::string text = SettingValueText(field, config, unit);
    const bool number = !IsLength(field) && field.rule != FieldRule::Character &&
                        !(IsCombo(field) && field.IsChoice());
    // Lists of numbers (baud, data bits, stop bits) stay numbers.
    const bool numericChoice = IsCombo(field) && field.IsChoice() && !text.empty() &&
                               PlainScalar(text, false) && text[0] >= '0' && text[0] <= '9';
    return {text, number || numericChoice};
}

std::string FloatText(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Dots as the page shows them in inch or millimetres ("0.00"), or as they are.
std::string LengthText(double dots, const PrinterConfig& config, LengthUnit unit) {
    if (unit == LengthUnit::Dots)
        return FloatText(static_cast<float>(dots)) + " dots";
    const double factor = unit == LengthUnit::Inch ? config.Dpi : config.DotsPerMm;
    return FormatFixed(dots / factor, 2) + " " + UnitName(unit);
}

} // namespace

bool SettingsDocument::SendsInch() const {
    if (unit != LengthUnit::None)
        return unit == LengthUnit::Inch;
    for (const DocumentSetting& setting : settings) {
        if (setting.unit == LengthUnit::Inch || setting.unit == LengthUnit::Mm)
            return setting.unit == LengthUnit::Inch;
    }
    return false;
}

std::string SettingsFault::Text() const {
    std::string text;
    if (line > 0)
        text += "line " + std::to_string(line) + ": ";
    if (!setting.empty())
        text += setting + ": ";
    return text + what;
}

std::optional<SettingsDocument> ParseSettingsDocument(std::string_view text,
                                                      std::vector<SettingsFault>& faults) {
    YAML::Node root;
    try {
        root = YAML::Load(std::string(text));
    } catch (const YAML::Exception& e) {
        faults.push_back({{}, e.mark.line >= 0 ? e.mark.line + 1 : 0, e.msg});
        return std::nullopt;
    }
    SettingsDocument document;
    if (root.IsNull())
        return document;
    if (!root.IsMap()) {
        faults.push_back({{}, LineOf(root), "a settings document is a map of settings by name"});
        return std::nullopt;
    }
    std::set<std::string> seen;
    try {
        // The unit first: it may come after the lengths it serves.
        for (const auto& pair : root) {
            if (pair.first.Scalar() != "unit")
                continue;
            const std::optional<LengthUnit> unit =
                pair.second.IsScalar() ? UnitOf(pair.second.Scalar()) : std::nullopt;
            if (!unit)
                faults.push_back({"unit", LineOf(pair.first), "must be in or mm"});
            else
                document.unit = *unit;
        }
        for (const auto& pair : root) {
            const std::string name = pair.first.IsScalar() ? pair.first.Scalar() : std::string();
            const int line = LineOf(pair.first);
            if (!seen.insert(name).second) {
                faults.push_back({name, line, "is given twice"});
                continue;
            }
            if (name == "unit")
                continue;
            if (name == "facts") {
                ReadFacts(pair.second, document.facts, faults);
                continue;
            }
            const PageSetting* field = FindPageSetting(name);
            if (FindFact(name) || (field && field->rule == FieldRule::Base)) {
                faults.push_back({name, line,
                                  "is a fact the printer reports, not a setting: it belongs "
                                  "under facts: and is never written"});
                continue;
            }
            if (!field) {
                faults.push_back(
                    {name, line, "unknown setting (did you mean " + ClosestSetting(name) + "?)"});
                continue;
            }
            DocumentSetting setting;
            setting.field = field;
            setting.line = line;
            if (std::optional<std::string> fault =
                    ReadValue(*field, pair.second, document.unit, setting))
                faults.push_back({name, line, *fault});
            else
                document.settings.push_back(setting);
        }
    } catch (const YAML::Exception& e) {
        faults.push_back({{}, e.mark.line >= 0 ? e.mark.line + 1 : 0, e.msg});
    }
    if (!faults.empty())
        return std::nullopt;
    const auto order = [](const DocumentSetting& a, const DocumentSetting& b) {
        return a.field < b.field;
    };
    std::sort(document.settings.begin(), document.settings.end(), order);
    return document;
}

std::string SettingValueText(const PageSetting& field, const PrinterConfig& config,
                             LengthUnit unit) {
    return std::visit(
        [&](auto member) -> std::string {
            const auto& item = config.*member;
            if (item.valid != 1)
                return {};
            using Item = std::decay_t<decltype(item)>;
            if constexpr (std::is_same_v<Item, ConfigChar>) {
                return std::string(1, item.value);
            } else if constexpr (std::is_same_v<Item, ConfigFloat>) {
                if (!IsLength(field))
                    return FloatText(item.value);
                return LengthText(item.value, config, unit);
            } else {
                if (IsLength(field))
                    return LengthText(item.value, config, unit);
                if (IsCombo(field) && field.IsChoice()) {
                    const int32_t index = field.ChoiceIndex(item.value);
                    return index < 0 ? std::string() : field.choices[static_cast<size_t>(index)];
                }
                return std::to_string(item.value);
            }
        },
        field.field);
}

bool PutSetting(const DocumentSetting& setting, PrinterConfig& config) {
    const PageSetting& field = *setting.field;
    double value = setting.real;
    if (IsLength(field) && setting.unit != LengthUnit::Dots) {
        const double factor = setting.unit == LengthUnit::Inch ? config.Dpi : config.DotsPerMm;
        value = LengthToDots(setting.real, factor, field.rule);
    } else if (field.rule == FieldRule::LengthDots) {
        value = std::round(value);
    }
    return std::visit(
        [&](auto member) {
            auto& item = config.*member;
            using Item = std::decay_t<decltype(item)>;
            if constexpr (std::is_same_v<Item, ConfigChar>) {
                SetItem(item, setting.character);
            } else if constexpr (std::is_same_v<Item, ConfigFloat>) {
                if (!std::isfinite(static_cast<float>(value)))
                    return false;
                SetItem(item, static_cast<float>(value));
            } else if (IsLength(field)) {
                if (!(std::fabs(value) <= std::numeric_limits<int32_t>::max()))
                    return false;
                SetItem(item, static_cast<int32_t>(value));
            } else {
                SetItem(item, setting.integer);
            }
            return true;
        },
        field.field);
}

std::string WriteSettingsDocument(const PrinterConfig& config, bool inch, bool json) {
    const LengthUnit unit = inch ? LengthUnit::Inch : LengthUnit::Mm;
    YAML::Emitter out;
    if (json)
        out << YAML::Flow;
    out << YAML::BeginMap;
    EmitKey(out, "unit", json);
    Emit(out, {UnitName(unit)}, json);
    for (const PageSetting& field : PageSettingTable()) {
        if (field.rule == FieldRule::Base)
            continue;
        const OutValue value = FieldOut(field, config, unit);
        if (value.text.empty())
            continue;
        EmitKey(out, field.name, json);
        Emit(out, value, json);
    }
    EmitKey(out, "facts", json);
    out << YAML::BeginMap;
    EmitKey(out, "edition", json);
    Emit(out, {std::to_string(config.Edition), true}, json);
    if (config.ResolutionValid) {
        EmitKey(out, "dpi", json);
        Emit(out, {FloatText(config.Dpi), true}, json);
        EmitKey(out, "dots_per_mm", json);
        Emit(out, {FloatText(config.DotsPerMm), true}, json);
    }
    for (const Fact& fact : kFacts) {
        if (fact.kind == FactKind::Text) {
            const char* text = FactText(fact, config);
            EmitKey(out, fact.name, json);
            out << YAML::DoubleQuoted << std::string(text, strnlen(text, fact.textSize));
        } else if (fact.kind == FactKind::Number) {
            EmitKey(out, fact.name, json);
            Emit(out, {std::to_string(FactNumber(fact, config)), true}, json);
        }
    }
    for (const PageSetting& field : PageSettingTable()) {
        if (field.rule != FieldRule::Base)
            continue;
        const std::string text = SettingValueText(field, config, unit);
        if (text.empty())
            continue;
        EmitKey(out, field.name, json);
        Emit(out, {text, true}, json);
    }
    out << YAML::EndMap << YAML::EndMap;
    return std::string(out.c_str()) + "\n";
}

PrinterConfig SettingsDocumentRecord(const SettingsDocument& document) {
    PrinterConfig config = DefaultPrinterConfig();
    config.InchUnit = document.SendsInch() ? 1 : 0;
    const DocumentFacts& facts = document.facts;
    if (facts.edition)
        config.Edition = *facts.edition;
    if (facts.dpi) {
        config.Dpi = *facts.dpi;
        config.ResolutionValid = 1;
    }
    if (facts.dotsPerMm)
        config.DotsPerMm = *facts.dotsPerMm;
    for (const auto& [name, text] : facts.texts) {
        const Fact* fact = FindFact(name);
        std::memcpy(FactText(*fact, config), text.c_str(), text.size() + 1);
    }
    for (const auto& [name, number] : facts.numbers) {
        if (const Fact* fact = FindFact(name)) {
            SetFactNumber(*fact, config, number);
        } else if (const PageSetting* base = FindBase(name)) {
            SetItem(config.*std::get<ConfigInt PrinterConfig::*>(base->field), number);
        }
    }
    for (const DocumentSetting& setting : document.settings)
        PutSetting(setting, config);
    return config;
}

std::string SettingsSchemaText() {
    const QString lengthPattern =
        QStringLiteral("^\\s*[-+]?[0-9]*\\.?[0-9]+([eE][-+]?[0-9]+)?\\s*(in|inch|mm|dots?)?\\s*$");
    QJsonObject properties;
    properties[QStringLiteral("unit")] = QJsonObject{
        {QStringLiteral("description"), QStringLiteral("The unit of lengths written without one.")},
        {QStringLiteral("enum"), QJsonArray{QStringLiteral("in"), QStringLiteral("mm")}},
    };
    QJsonObject facts;
    for (const Fact& fact : kFacts) {
        facts[QLatin1String(fact.name)] =
            fact.kind == FactKind::Text
                ? QJsonObject{{QStringLiteral("type"), QStringLiteral("string")}}
                : QJsonObject{{QStringLiteral("type"), QStringLiteral("number")}};
    }
    for (const PageSetting& field : PageSettingTable()) {
        if (field.rule == FieldRule::Base)
            facts[QLatin1String(field.name)] =
                QJsonObject{{QStringLiteral("type"), QStringLiteral("integer")}};
    }
    properties[QStringLiteral("facts")] = QJsonObject{
        {QStringLiteral("description"),
         QStringLiteral("What the printer reports; never written to a printer.")},
        {QStringLiteral("type"), QStringLiteral("object")},
        {QStringLiteral("properties"), facts},
        {QStringLiteral("additionalProperties"), false},
    };
    static const char* const kTabs[] = {"Common", "Z", "D", "Interface"};
    for (const PageSetting& field : PageSettingTable()) {
        if (field.rule == FieldRule::Base)
            continue;
        QJsonObject schema;
        QString description = QStringLiteral("%1 tab").arg(QLatin1String(kTabs[field.tab]));
        if (field.edition > 0)
            description += QStringLiteral(", from firmware edition %1").arg(field.edition);
        if (IsCombo(field) && field.IsChoice()) {
            QJsonArray names;
            for (const char* name : field.choices) {
                names.append(QLatin1String(name));
                // An unquoted number in YAML is a number.
                const std::string text = name;
                if (PlainScalar(text, false) && text[0] >= '0' && text[0] <= '9')
                    names.append(std::stoi(text));
            }
            if (IsOffOn(field)) {
                names.append(true);
                names.append(false);
            }
            schema[QStringLiteral("enum")] = names;
        } else if (IsLength(field)) {
            description += QStringLiteral(", a length: a number with in, mm or dots (a bare "
                                          "number in the document's unit)");
            schema[QStringLiteral("type")] =
                QJsonArray{QStringLiteral("string"), QStringLiteral("number")};
            schema[QStringLiteral("pattern")] = lengthPattern;
        } else if (field.rule == FieldRule::Character) {
            schema[QStringLiteral("type")] = QStringLiteral("string");
            schema[QStringLiteral("pattern")] = QStringLiteral("^[!-~]$");
        } else {
            schema[QStringLiteral("type")] =
                IsReal(field) ? QStringLiteral("number") : QStringLiteral("integer");
            schema[QStringLiteral("minimum")] =
                field.HasRange() ? field.low : std::numeric_limits<int32_t>::min();
            schema[QStringLiteral("maximum")] =
                field.HasRange() ? field.high : std::numeric_limits<int32_t>::max();
        }
        schema[QStringLiteral("description")] = description;
        properties[QLatin1String(field.name)] = schema;
    }
    const QJsonObject root{
        {QStringLiteral("$schema"), QStringLiteral("https://json-schema.org/draft/2020-12/schema")},
        {QStringLiteral("title"), QStringLiteral("Tarnvik printer settings")},
        {QStringLiteral("description"),
         QStringLiteral("Settings of a label printer by name, as tarnvik-cli config read "
                        "--format yaml writes them and config apply takes them.")},
        {QStringLiteral("type"), QStringLiteral("object")},
        {QStringLiteral("properties"), properties},
        {QStringLiteral("additionalProperties"), false},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}
