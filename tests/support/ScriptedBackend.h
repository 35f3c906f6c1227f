#pragma once

#include "link/LinkBackend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What a scripted link saw and what it is to answer; shared with the test that made it,
// since the link owns and destroys the backend at every close.
struct LinkScript {
    // Each device read takes the next chunk; when none is left reads time out.
    std::vector<std::string> reads;
    // Every piece written, in order.
    std::vector<std::string> pieces;
    bool openFails = false;
    // Pieces accepted before every further one is refused; negative: no limit.
    int acceptPieces = -1;
    // The connection drops after this many pieces (for links that report it); negative: never.
    int dropAfterPieces = -1;
    int opens = 0;
    int closes = 0;
    size_t readCalls = 0;

    std::string Written() const;
};

// A link backend driven by a LinkScript: the scripted fake of the transport tests.
class ScriptedBackend : public LinkBackend {
public:
    explicit ScriptedBackend(std::shared_ptr<LinkScript> script) : script_(std::move(script)) {}

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;
    bool IsConnected() const override;

private:
    std::shared_ptr<LinkScript> script_;
};
