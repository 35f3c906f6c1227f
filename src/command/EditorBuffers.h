#pragma once

#include "command/TextBytes.h"

#include <QString>

#include <array>

inline constexpr int kEditorBufferCount = 12;

// One text of the command tool and how its characters map to bytes.
struct EditorBuffer {
    QString text;
    TextMapping mapping = TextMapping::Utf8;
};

// The twelve command-tool texts and the one shown in the editor. The shown buffer's text
// lives in the editor; its slot holds what it had when the user last switched away.
struct EditorBuffers {
    std::array<EditorBuffer, kEditorBufferCount> texts{};
    int shown = 0;

    void Clear() {
        texts = {};
        shown = 0;
    }
};
