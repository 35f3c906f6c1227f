#pragma once

#include "config/PrinterConfig.h"
#include "config/SettingsTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A printer's settings as a readable document: YAML (JSON is YAML too) with the settings
// of the configuration page by name (PageSettingTable), lengths with their unit, lists by
// the names of their items, and what the printer only reports under "facts:". It is one
// more form of the PrinterConfig record: reading it puts values into a record the way the
// page collects them, writing it takes them from a record the way the page shows them.

enum class LengthUnit { None, Inch, Mm, Dots };

// One setting a document names, checked against the page's limits but not yet put into a
// record (lengths need the printer's resolution).
struct DocumentSetting {
    const PageSetting* field = nullptr;
    int line = 0;        // from 1
    int32_t integer = 0; // whole numbers and lists: the record value
    double real = 0.0;   // reals and lengths as written
    char character = 0;  // characters
    LengthUnit unit = LengthUnit::None;
};

// What the document says about the printer it came from (facts: resolution, edition,
// texts, counters, base values); only what it gives is set.
struct DocumentFacts {
    std::optional<int32_t> edition;
    std::optional<float> dpi;
    std::optional<float> dotsPerMm;
    std::vector<std::pair<std::string, std::string>> texts;
    std::vector<std::pair<std::string, int32_t>> numbers;
};

struct SettingsDocument {
    LengthUnit unit = LengthUnit::None;    // the document's "unit:"
    std::vector<DocumentSetting> settings; // in the table's order
    DocumentFacts facts;

    // The unit lengths are sent in: the document's, else that of its first length with a
    // unit, else millimetres.
    bool SendsInch() const;
};

// A fault of a document or of one of its settings for one printer.
struct SettingsFault {
    std::string setting; // empty for the document as a whole
    int line = 0;        // 0: no line
    std::string what;

    // "LINE: SETTING: WHAT" with what is known.
    std::string Text() const;
};

// Reads and checks a document: names, value shapes, the page's ranges and lists, units.
// nullopt with every fault found when it is not right.
std::optional<SettingsDocument> ParseSettingsDocument(std::string_view text,
                                                      std::vector<SettingsFault>& faults);

// The document of a record: every setting it holds (flag 1) in the page's order, lengths
// in inch or millimetres as the page shows them, then the facts. json: one line of JSON.
std::string WriteSettingsDocument(const PrinterConfig& config, bool inch, bool json);

// A record from a document alone (no printer): the defaults, the document's facts, then
// its settings converted with the facts' resolution (the defaults' without one).
PrinterConfig SettingsDocumentRecord(const SettingsDocument& document);

// A setting's value in a record as a document writes it ("12", "gap", "101.50 mm");
// empty when the record does not hold it or holds no value the page can show.
std::string SettingValueText(const PageSetting& field, const PrinterConfig& config,
                             LengthUnit unit);

// Puts one setting into a record as the page collects it, lengths with the record's
// resolution. False when the value cannot be held (a length too large in dots).
bool PutSetting(const DocumentSetting& setting, PrinterConfig& config);

// The JSON Schema (2020-12) of the document, from the same table.
std::string SettingsSchemaText();
