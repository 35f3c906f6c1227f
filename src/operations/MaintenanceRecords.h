#pragma once

#include <cstddef>
#include <cstdint>

// Where the printer's dump-text mode sends what it receives.
enum DumpMode : int32_t {
    DumpPrint = 0,
    DumpSaveToCard = 1,
    DumpSaveToFile = 2, // any value other than 0 and 1 behaves as this one
};

constexpr int kDumpFileNameCapacity = 16;

#pragma pack(push, 1)

// In-buffer of DumpText: the mode and the card file name used by mode 1.
struct DumpTextRequest {
    int32_t mode;
    char fileName[kDumpFileNameCapacity]; // up to 15 characters and a zero byte
};

// In-buffer of PrintTestPattern, filled from the printer configuration.
struct TestPatternRequest {
    float dotsPerInch; // not used by the label program
    float dotsPerMm;
    float widthMm;
    float heightMm;
    int32_t sensorMode; // not used by the label program
};

#pragma pack(pop)

static_assert(sizeof(DumpTextRequest) == 20);
static_assert(offsetof(DumpTextRequest, fileName) == 4);
static_assert(sizeof(TestPatternRequest) == 20);
static_assert(offsetof(TestPatternRequest, dotsPerMm) == 4);
static_assert(offsetof(TestPatternRequest, widthMm) == 8);
static_assert(offsetof(TestPatternRequest, heightMm) == 12);
static_assert(offsetof(TestPatternRequest, sensorMode) == 16);
