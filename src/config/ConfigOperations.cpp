#include "config/ConfigOperations.h"

#include "config/ConfigCommands.h"
#include "config/ConfigReplies.h"
#include "config/ConfigTables.h"
#include "config/PrinterConfig.h"
#include "link/FixedText.h"
#include "operations/FirmwareEditions.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int kScratchCapacity = 1024;

// One "DIAGNOSTIC REPORT <key>" exchange after another, each reply in the scratch buffer.
class ReportQuery {
public:
    explicit ReportQuery(LinkSession& session) : session_(session) {}

    LinkError Ask(const char* key, int capacity = kScratchCapacity) {
        const std::string command = std::string("DIAGNOSTIC REPORT ") + key + "\r\n";
        length_ = 0;
        scratch_[0] = '\0';
        return QueryFramed(session_, command.c_str(), scratch_, capacity, &length_);
    }

    // A text reply for a field of the given size. The frame must fit the field as it
    // would fit a buffer of that size; the field changes only when the frame was read
    // whole, so a broken reply leaves no half-written text behind.
    LinkError AskText(const char* key, char* field, int fieldSize) {
        const LinkError result = Ask(key, fieldSize);
        if (result == LinkOk)
            StoreFixedBytes(field, static_cast<size_t>(fieldSize), Reply());
        return result;
    }

    const char* Text() const { return scratch_; }
    std::string_view Reply() const { return {scratch_, static_cast<size_t>(length_)}; }
    int Length() const { return length_; }
    int32_t Number() const { return ParseReplyNumber(scratch_); }
    float Real() const { return ParseReplyReal(scratch_); }

private:
    LinkSession& session_;
    char scratch_[kScratchCapacity] = {};
    int length_ = 0;
};

// A field of the emulation tabs coded by letters: flag 1 with the code, or cleared when
// the reply is none of the letters.
void SetCode(ConfigInt& item, int32_t code) {
    if (code == 0) {
        item.valid = 0;
        return;
    }
    SetItem(item, code);
}

enum class Conversion {
    Number,
    Real,
    SensorMode,
    CodePage,
    Country,
    BaudRate,
    DataBits,
    Parity,
    StopBits,
};

struct MainKey {
    const char* key;
    Conversion conversion;
    ConfigInt PrinterConfig::*intField;
    ConfigFloat PrinterConfig::*floatField;
};

constexpr MainKey Int(const char* key, ConfigInt PrinterConfig::*field,
                      Conversion conversion = Conversion::Number) {
    return {key, conversion, field, nullptr};
}

constexpr MainKey Real(const char* key, ConfigFloat PrinterConfig::*field) {
    return {key, Conversion::Real, nullptr, field};
}

const MainKey kMainKeys[] = {
    Real("SPEED", &PrinterConfig::Speed),
    Int("DENSITY", &PrinterConfig::Density),
    Int("DENSITYBASE", &PrinterConfig::DensityBase),
    Real("PAPERWIDTH", &PrinterConfig::PaperWidth),
    Real("PAPERHEIGHT", &PrinterConfig::PaperHeight),
    Int("SENSORMODE", &PrinterConfig::SensorMode, Conversion::SensorMode),
    Real("GAPSIZE", &PrinterConfig::GapSize),
    Real("GAPOFFSET", &PrinterConfig::GapOffset),
    Int("PRINTOUT", &PrinterConfig::PrintOut),
    Int("CUTTERPIECE", &PrinterConfig::CutterPiece),
    Int("REFERENCEX", &PrinterConfig::ReferenceX),
    Int("REFERENCEY", &PrinterConfig::ReferenceY),
    Int("DIRCTION", &PrinterConfig::Direction),
    Int("MIRROR", &PrinterConfig::Mirror),
    Int("OFFSET", &PrinterConfig::Offset),
    Int("OFFSETBASE", &PrinterConfig::OffsetBase),
    Int("SHIFT", &PrinterConfig::Shift),
    Int("SHIFTBASE", &PrinterConfig::ShiftBase),
    Int("RIBBON", &PrinterConfig::Ribbon),
    Int("CODEPAGE", &PrinterConfig::CodePage, Conversion::CodePage),
    Int("COUNTRY", &PrinterConfig::Country, Conversion::Country),
    Int("HEAD", &PrinterConfig::Head),
    Int("GAPINTEN", &PrinterConfig::GapInten),
    Int("BLINEINTEN", &PrinterConfig::BlineInten),
    Int("CONINTEN", &PrinterConfig::ConInten),
    Int("BAUDRATE", &PrinterConfig::BaudRate, Conversion::BaudRate),
    Int("DATABIT", &PrinterConfig::DataBit, Conversion::DataBits),
    Int("PARITY", &PrinterConfig::Parity, Conversion::Parity),
    Int("STOPBIT", &PrinterConfig::StopBit, Conversion::StopBits),
};

void Store(PrinterConfig& config, const MainKey& key, const ReportQuery& query) {
    if (key.conversion == Conversion::Real) {
        SetItem(config.*key.floatField, query.Real());
        return;
    }
    int32_t value = 0;
    switch (key.conversion) {
    case Conversion::SensorMode:
        value = std::min<int32_t>(query.Number(), 2);
        break;
    case Conversion::CodePage:
        value = ConfigTableIndex(kCodePageTable, query.Reply());
        break;
    case Conversion::Country:
        value = ConfigTableIndex(kCountryCodeTable, query.Reply());
        break;
    case Conversion::BaudRate:
        value = ConfigTableIndex(kBaudRateTable, query.Reply());
        break;
    case Conversion::DataBits:
        value = ConfigTableIndex(kDataBitsTable, query.Reply());
        break;
    case Conversion::Parity:
        value = ConfigTableIndex(kParityTable, query.Reply());
        break;
    case Conversion::StopBits:
        value = ConfigTableIndex(kStopBitsTable, query.Reply());
        break;
    default:
        value = query.Number();
        break;
    }
    SetItem(config.*key.intField, value);
}

// Keys that older firmware does not know: silence ends the read, successfully.
struct LateKey {
    const char* key;
    ConfigInt PrinterConfig::*field;
};

const LateKey kLateKeys[] = {
    {"REPRINT", &PrinterConfig::Reprint},
    {"SHIFTX", &PrinterConfig::ShiftX},
    {"SHIFTXBASE", &PrinterConfig::ShiftXBase},
};

void ClearEmulationFlags(PrinterConfig& c) {
    for (ConfigInt* item :
         {&c.ZDarkness, &c.ZSpeed, &c.ZPosition, &c.ZPrintMode, &c.ZLabelWidth, &c.ZFeedPowerUp,
          &c.ZFeedHeadClose, &c.ZLabelTop, &c.ZLabelShift, &c.DHeat, &c.DLabelWidth,
          &c.DPresentSensor, &c.DCutterEquipped, &c.DControlCodes, &c.DColumnOffset, &c.DRowOffset})
        item->valid = 0;
    c.ZControl.valid = 0;
    c.ZFormat.valid = 0;
    c.ZDelimiter.valid = 0;
    c.DSpeed.valid = 0;
}

// A number reply of the emulation tabs: an empty reply clears the flag.
LinkError AskEmulationNumber(ReportQuery& query, const char* key, ConfigInt& item) {
    if (const LinkError result = query.Ask(key); result != LinkOk)
        return result;
    if (query.Length() == 0)
        item.valid = 0;
    else
        SetItem(item, query.Number());
    return LinkOk;
}

LinkError AskEmulationChar(ReportQuery& query, const char* key, ConfigChar& item) {
    if (const LinkError result = query.Ask(key); result != LinkOk)
        return result;
    if (query.Length() == 1) {
        item.valid = 1;
        item.value = query.Text()[0];
    } else {
        item.valid = 0;
    }
    return LinkOk;
}

LinkError AskEmulationCode(ReportQuery& query, const char* key, ConfigInt& item,
                           int32_t (*decode)(std::string_view)) {
    if (const LinkError result = query.Ask(key); result != LinkOk)
        return result;
    SetCode(item, decode(query.Reply()));
    return LinkOk;
}

LinkError ReadEmulationKeys(ReportQuery& query, PrinterConfig& c) {
    LinkError result = LinkOk;
    auto number = [&](const char* key, ConfigInt& item) {
        if (result == LinkOk)
            result = AskEmulationNumber(query, key, item);
    };
    auto character = [&](const char* key, ConfigChar& item) {
        if (result == LinkOk)
            result = AskEmulationChar(query, key, item);
    };
    auto code = [&](const char* key, ConfigInt& item, int32_t (*decode)(std::string_view)) {
        if (result == LinkOk)
            result = AskEmulationCode(query, key, item, decode);
    };

    number("ZDARKNESS", c.ZDarkness);
    if (result == LinkOk && (result = query.Ask("ZSPEED")) == LinkOk) {
        if (query.Length() == 0)
            c.ZSpeed.valid = 0;
        else
            SetItem(c.ZSpeed, ZSpeedFromReply(query.Reply()));
    }
    number("ZPOSITION", c.ZPosition);
    code("ZPRINTMODE", c.ZPrintMode, ZPrintModeFromReply);
    number("ZLABELWIDTH", c.ZLabelWidth);
    character("ZCONTROL", c.ZControl);
    character("ZFORMAT", c.ZFormat);
    character("ZDELIMITER", c.ZDelimiter);
    code("ZFEEDPOWERUP", c.ZFeedPowerUp, ZFeedFromReply);
    code("ZFEEDHEADCLOSE", c.ZFeedHeadClose, ZFeedFromReply);
    number("ZLABELTOP", c.ZLabelTop);
    number("ZLABELSHIFT", c.ZLabelShift);
    number("DHEAT", c.DHeat);
    if (result == LinkOk && (result = query.Ask("DSPEED")) == LinkOk) {
        float speed = 0.0f;
        if (DSpeedFromReply(query.Reply(), speed))
            SetItem(c.DSpeed, speed);
        else
            c.DSpeed.valid = 0;
    }
    number("DLABELWIDTH", c.DLabelWidth);
    code("DPRESENTSENSOR", c.DPresentSensor, DSwitchFromReply);
    code("DCUTTEREQUIPPED", c.DCutterEquipped, DSwitchFromReply);
    code("DCONTROLCODES", c.DControlCodes, DControlCodesFromReply);
    number("DCOLUMNOFFSET", c.DColumnOffset);
    number("DROWOFFSET", c.DRowOffset);
    return result;
}

// A counter reply; the printer never counts below 0.
int32_t CounterOf(const ReportQuery& query) {
    return std::max<int32_t>(query.Number(), 0);
}

LinkError AskInt(ReportQuery& query, const char* key, ConfigInt& item) {
    if (const LinkError result = query.Ask(key); result != LinkOk)
        return result;
    SetItem(item, query.Number());
    return LinkOk;
}

LinkError ReadSerialLine(LinkSession& session, PrinterConfig& config) {
    if (const LinkError result = SendCommandText(session, "OUT _SERIAL$\r\n"); result != LinkOk)
        return result;
    char line[kReplyLineCapacity];
    int length = 0;
    if (!ReadReplyLine(session, line, &length))
        return LinkReceivingError;
    // A serial number longer than the field keeps its first characters.
    StoreFixedBytes(config.Serial, std::string_view(line, static_cast<size_t>(length)));
    return LinkOk;
}

LinkError ReadRecord(LinkSession& session, PrinterConfig& c) {
    if (const LinkError result = AnnounceInterface(session); result != LinkOk)
        return result;
    ReportQuery query(session);

    if (const LinkError result = query.Ask("DPI"); result != LinkOk)
        return result;
    c.Dpi = query.Real();
    float dotsPerMm = 0.0f;
    if (!DotsPerMmForDpi(c.Dpi, dotsPerMm))
        return LinkReceivingError;
    c.DotsPerMm = dotsPerMm;
    c.ResolutionValid = 1;

    if (const LinkError result = query.AskText("VERSION", c.Version, sizeof c.Version);
        result != LinkOk)
        return result;
    if (const LinkError result = query.AskText("MILAGE", c.Milage, sizeof c.Milage);
        result != LinkOk)
        return result;
    if (const LinkError result = query.AskText("CHECKSUM", c.Checksum, sizeof c.Checksum);
        result != LinkOk)
        return result;
    if (const LinkError result = ReadSerialLine(session, c); result != LinkOk)
        return result;

    for (const MainKey& key : kMainKeys) {
        if (const LinkError result = query.Ask(key.key); result != LinkOk)
            return result;
        Store(c, key, query);
    }

    for (const LateKey& key : kLateKeys) {
        if (query.Ask(key.key) != LinkOk) {
            (c.*key.field).valid = 0;
            return LinkOk;
        }
        SetItem(c.*key.field, query.Number());
    }
    if (query.Ask("EDITION") != LinkOk) {
        c.Edition = 0;
        return LinkOk;
    }
    c.Edition = query.Number();

    if (c.Edition < kFirstEditionWithEmulations) {
        ClearEmulationFlags(c);
    } else if (const LinkError result = ReadEmulationKeys(query, c); result != LinkOk) {
        return result;
    }

    if (c.Edition < kFirstEditionWithCutCounter) {
        c.MaxLength.valid = 0;
    } else {
        if (const LinkError result = query.Ask("CUTCOUNTER"); result != LinkOk)
            return result;
        c.CutCounter = CounterOf(query);
        if (const LinkError result = query.Ask("MAXLENGTH"); result != LinkOk)
            return result;
        SetItem(c.MaxLength, query.Real());
    }

    if (c.Edition < kFirstEditionWithResettableCounters) {
        c.RibbonSensor.valid = 0;
        c.RibbonEncoder.valid = 0;
        c.AutoThreshold.valid = 0;
        return LinkOk;
    }
    if (const LinkError result = query.AskText("RESETMILAGE", c.ResetMilage, sizeof c.ResetMilage);
        result != LinkOk)
        return result;
    if (const LinkError result = query.Ask("RESETCUTCOUNTER"); result != LinkOk)
        return result;
    c.ResetCutCounter = CounterOf(query);
    if (const LinkError result = AskInt(query, "RIBBONSENSOR", c.RibbonSensor); result != LinkOk)
        return result;
    if (const LinkError result = AskInt(query, "RIBBONENCODER", c.RibbonEncoder); result != LinkOk)
        return result;
    return AskInt(query, "AUTOTHRESHOLD", c.AutoThreshold);
}

} // namespace

LinkError ReadConfiguration(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    if (kind == InterfaceLpt)
        return LinkReceivingError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return ReadRecord(session, *static_cast<PrinterConfig*>(buffer));
}

LinkError WriteConfiguration(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra) {
    const std::vector<std::string> texts =
        ConfigCommandTexts(*static_cast<const PrinterConfig*>(buffer), extra);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    for (const std::string& text : texts) {
        if (const LinkError result = SendCommandText(session, text.c_str()); result != LinkOk)
            return result;
    }
    return LinkOk;
}
