#pragma once

#include "command/EditorBuffers.h"
#include "config/PrinterConfig.h"
#include "gui/config/ConfigPageRecords.h"
#include "gui/files/FileManagerRecords.h"
#include "gui/fonts/FontPageRecords.h"
#include "gui/functions/FunctionRecords.h"
#include "link/LinkSettings.h"
#include "operations/ClockRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PrinterNetConfig.h"
#include "operations/PrinterStatus.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// The state the main window keeps for the whole run and hands to its pages and dialogs:
// link settings, the stored configuration, the last status, the clock values and what the
// pages hold between actions. Pages add their records here and get the part they need;
// nothing of it is persisted.
struct MainRecords {
    ComSettings Com{};
    LptPortName Lpt{};
    NetSettings Net{};
    // The configuration as last read, cleared or loaded; what Save writes.
    PrinterConfig StoredConfig{};
    // The ten status bytes "Get Status" last fetched; stored in configuration files.
    PrinterStatus Status{};
    // The network settings as last read or edited in "Ethernet Setup".
    PrinterNetConfig NetConfig{};
    // The printer clock as read or typed in "RTC Setup".
    PrinterClock Clock{};
    // 1 when "RTC Setup" was last left with "Set".
    uint8_t ClockSet = 0;
    // Space and file lists of the three memories as the last "Get" left them; zero at
    // start-up. Held apart: it is close to 200 KB; never replaced, as the file manager holds
    // it by reference.
    const std::unique_ptr<MemoryInfo> Memory = std::make_unique<MemoryInfo>();
    // The PC file the last good "Browse" of the file manager chose.
    QString SelectedSourceFile;
    // The command tool's twelve texts.
    EditorBuffers Editors;
    // The current font of the font dialog that the file manager's "Font View" and the
    // bitmap font page share.
    QFont CurrentFont = DefaultDialogFont();

    static QFont DefaultDialogFont() {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        return font;
    }
    // The bitmap font page: the parameters of the last make, the code table of the table
    // encodes and the table file last loaded.
    ::FontParameters FontParameters{};
    std::array<uint8_t, 65536> FontTable{};
    QString TableFilePath;

    // What the printer functions take from a configuration.
    static LabelSettings LabelSettingsOf(const PrinterConfig& config) {
        LabelSettings settings;
        settings.ResolutionRead = config.ResolutionValid != 0;
        settings.Dpi = config.Dpi;
        settings.DotsPerMm = config.DotsPerMm;
        settings.SensorMode = config.SensorMode.value;
        settings.PaperWidth = {config.PaperWidth.valid, config.PaperWidth.value};
        settings.PaperHeight = {config.PaperHeight.valid, config.PaperHeight.value};
        return settings;
    }

    // The part each page reads and keeps.
    ConfigPageRecords ForConfigPage() { return {StoredConfig, Status}; }
    FunctionRecords ForFunctionGroup() {
        return {[this] { return LabelSettingsOf(StoredConfig); }, NetConfig, Clock, ClockSet};
    }
    FileManagerRecords ForFileManager() { return {*Memory, SelectedSourceFile, CurrentFont}; }
    FontPageRecords ForFontPage() {
        return {FontParameters, FontTable, TableFilePath, CurrentFont};
    }
};
