#include "config/ConfigFile.h"

#include "config/ConfigCommands.h"

#include <QtEndian>

#include <cstring>

QByteArray EncodeConfigFile(const ConfigFileContent& content) {
    ConfigFileImage image{};
    image.Magic = qToLittleEndian(kConfigFileMagic);
    image.Format = qToLittleEndian(kConfigFileFormat);
    image.UnitIndex = qToLittleEndian(static_cast<uint32_t>(content.UnitIndex));
    image.Config = content.Config;
    image.Status = content.Status;
    return QByteArray(reinterpret_cast<const char*>(&image), kConfigFileSize);
}

std::optional<ConfigFileContent> DecodeConfigFile(const QByteArray& bytes) {
    if (bytes.size() < kConfigFileSize)
        return std::nullopt;
    ConfigFileImage image;
    std::memcpy(&image, bytes.constData(), kConfigFileSize);
    if (qFromLittleEndian(image.Magic) != kConfigFileMagic)
        return std::nullopt;
    const uint32_t unit = qFromLittleEndian(image.UnitIndex);
    if (unit > 1)
        return std::nullopt;
    ConfigFileContent content;
    content.UnitIndex = static_cast<int>(unit);
    content.Config = image.Config;
    content.Status = image.Status;
    // A record whose reals cannot be sent is not one a printer or the page produced.
    if (!RealsSendable(content.Config))
        return std::nullopt;
    return content;
}
