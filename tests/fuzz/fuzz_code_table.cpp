// The font code-table loader and the ".dcf" configuration file loader with files of any
// content and length: what they keep stays within what they were given and holds what
// their rules promise.

#include "config/ConfigFile.h"
#include "fonts/CodeTable.h"
#include "FuzzCheck.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray source(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QByteArray codes = CodeTable::FromBytes(source);
    Check(codes.size() <= source.size() && codes.size() <= CodeTable::kMaxSource);
    if (source.size() > CodeTable::kMaxSource)
        Check(codes.isEmpty());
    for (const char c : codes)
        Check(static_cast<uint8_t>(c) >= 32);
    Check(CodeTable::EntryCount(codes, false) == static_cast<uint32_t>(codes.size()));
    Check(CodeTable::EntryCount(codes, true) == static_cast<uint32_t>(codes.size() / 2));
    const QByteArray text = CodeTable::TextPart(source);
    Check(source.startsWith(text) && !text.contains('\0'));

    const auto content = DecodeConfigFile(source);
    if (content) {
        Check(source.size() >= kConfigFileSize);
        Check(content->UnitIndex == 0 || content->UnitIndex == 1);
        Check(std::memcmp(&content->Config, source.constData() + 12, sizeof content->Config) == 0);
        // What was read writes back as the same image, but for the format number.
        QByteArray again = EncodeConfigFile(*content);
        again.replace(4, 4, source.mid(4, 4));
        Check(again == source.left(kConfigFileSize));
    }
    return 0;
}
