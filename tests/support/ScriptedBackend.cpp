#include "ScriptedBackend.h"

#include <algorithm>
#include <cstring>

std::string LinkScript::Written() const {
    std::string all;
    for (const std::string& piece : pieces)
        all += piece;
    return all;
}

bool ScriptedBackend::Open() {
    ++script_->opens;
    return !script_->openFails;
}

void ScriptedBackend::Close() {
    ++script_->closes;
}

bool ScriptedBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (script_->acceptPieces >= 0 &&
        static_cast<int>(script_->pieces.size()) >= script_->acceptPieces)
        return false;
    script_->pieces.emplace_back(reinterpret_cast<const char*>(bytes), length);
    return true;
}

size_t ScriptedBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    ++script_->readCalls;
    if (script_->reads.empty())
        return 0;
    std::string& chunk = script_->reads.front();
    const size_t n = std::min(capacity, chunk.size());
    std::memcpy(buffer, chunk.data(), n);
    chunk.erase(0, n);
    if (chunk.empty())
        script_->reads.erase(script_->reads.begin());
    return n;
}

bool ScriptedBackend::IsConnected() const {
    return script_->dropAfterPieces < 0 ||
           static_cast<int>(script_->pieces.size()) < script_->dropAfterPieces;
}
