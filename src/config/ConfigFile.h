#pragma once

#include "config/PrinterConfig.h"
#include "operations/PrinterStatus.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <optional>

// The ".dcf" configuration file: a fixed 683-byte image holding the stored
// configuration, the unit the page showed and the last printer status. Integers are
// 32-bit little-endian; nothing follows the status bytes.
#pragma pack(push, 1)
struct ConfigFileImage {
    uint32_t Magic;
    uint32_t Format;
    uint32_t UnitIndex;
    PrinterConfig Config;
    PrinterStatus Status;
};
#pragma pack(pop)
static_assert(sizeof(ConfigFileImage) == 683);
static_assert(offsetof(ConfigFileImage, Format) == 4);
static_assert(offsetof(ConfigFileImage, UnitIndex) == 8);
static_assert(offsetof(ConfigFileImage, Config) == 12);
static_assert(offsetof(ConfigFileImage, Status) == 673);

constexpr uint32_t kConfigFileMagic = 0x55AA;
constexpr uint32_t kConfigFileFormat = 1;
constexpr int kConfigFileSize = static_cast<int>(sizeof(ConfigFileImage));

// What a configuration file holds once decoded. UnitIndex is the "Unit" item: 0 inch,
// 1 mm.
struct ConfigFileContent {
    int UnitIndex = 0;
    PrinterConfig Config{};
    PrinterStatus Status{};
};

// The 683 bytes of a file for the given content, format number 1.
QByteArray EncodeConfigFile(const ConfigFileContent& content);

// Reads the first 683 bytes of a file. Gives nothing ("File Data Error") when the
// magic number is wrong, when fewer than 683 bytes are there (no part of the record may
// come from anywhere but the file), or when the unit index is neither 0 nor 1 (not a
// file this program wrote). The format number is not examined; bytes past 683 are
// ignored.
std::optional<ConfigFileContent> DecodeConfigFile(const QByteArray& bytes);
