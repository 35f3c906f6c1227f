#pragma once

#include <cstddef>
#include <cstdint>

// The printer's three memories, in the order the file commands and MemoryInfo use.
enum MemoryDevice : int32_t {
    MemoryDram = 0,
    MemoryFlash = 1,
    MemoryCard = 2,
};

constexpr int kMemoryDeviceCount = 3;
constexpr int kFileListCapacity = 65536;
constexpr int kPrinterFileNameCapacity = 16;
// The buffer the dump-text read-back uses.
constexpr int kDumpReadCapacity = 1048576;

#pragma pack(push, 1)

// Space and file list of one memory.
struct MemoryArea {
    char fileList[kFileListCapacity]; // items each followed by CR LF, zero-terminated
    uint8_t physicalKnown;            // 1 when physicalSpace was read
    int32_t physicalSpace;            // kilobytes, as the printer reports it
    uint8_t freeKnown;                // 1 when freeSpace was read; never for the card
    int32_t freeSpace;
};

// Out-buffer of ReadMemoryInfo: DRAM, FLASH, CARD.
struct MemoryInfo {
    MemoryArea areas[kMemoryDeviceCount];
};

// In-buffer of DownloadFile.
struct DownloadRequest {
    const char* localPath;   // the PC file to send
    const char* printerName; // the name it gets in the printer
    int32_t memory;          // MemoryDevice
};

// In/out-buffer of ReadPrinterFile. The whole file comes in one frame, so it must be at
// most capacity - 2 bytes.
struct PrinterFileRequest {
    int32_t capacity;
    int32_t length;                          // out: bytes stored in buffer
    char fileName[kPrinterFileNameCapacity]; // up to 15 characters and a zero byte
    char* buffer;
};

#pragma pack(pop)

static_assert(sizeof(MemoryArea) == 65546);
static_assert(offsetof(MemoryArea, physicalKnown) == 65536);
static_assert(offsetof(MemoryArea, physicalSpace) == 65537);
static_assert(offsetof(MemoryArea, freeKnown) == 65541);
static_assert(offsetof(MemoryArea, freeSpace) == 65542);
static_assert(sizeof(MemoryInfo) == 196638);
static_assert(offsetof(DownloadRequest, printerName) == sizeof(const char*));
static_assert(offsetof(DownloadRequest, memory) == 2 * sizeof(const char*));
static_assert(offsetof(PrinterFileRequest, length) == 4);
static_assert(offsetof(PrinterFileRequest, fileName) == 8);
static_assert(offsetof(PrinterFileRequest, buffer) == 24);
