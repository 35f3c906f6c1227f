#pragma once

#include "VirtualPrinter.h"

#include <string>
#include <utility>
#include <vector>

namespace sim {

// The printer's three memories (DRAM, FLASH, CARD) and the files in them: DOWNLOAD
// stores, KILL deletes, DIAGNOSTIC FILE sends one back, and the space and file-list
// reports describe them. Space is counted in kilobytes, each file taking whole ones.
class MemoryModule : public SimModule {
public:
    enum Device { Dram = 0, Flash = 1, Card = 2 };
    static constexpr int kDeviceCount = 3;

    struct File {
        std::string name;
        std::string data;
    };
    struct Memory {
        int physicalKb = 0;
        bool present = true;     // a card can be left out
        std::vector<File> files; // in the order they were stored
    };

    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    int FreeKb(int device) const;
    // Stores (or replaces) a file; false when the memory is absent or too full.
    bool Store(int device, const std::string& name, std::string data);
    // Deletes the files matching a name, "*.*" all of them; returns how many went.
    int Kill(int device, const std::string& pattern);
    const File* Find(int device, const std::string& name) const;
    // The first file of that name searching DRAM, FLASH, CARD.
    const File* FindAnywhere(const std::string& name) const;

    Memory memories[kDeviceCount];
    // Downloads that did not fit or went to a missing card.
    int refusedDownloads = 0;
    // DIAGNOSTIC FILE requests, and those for files that do not exist (left unanswered).
    int fileRequests = 0;
    int missingFileRequests = 0;
};

} // namespace sim
