#include "ConfigDiff.h"

#include "ConfigJson.h"

#include "config/ConfigCommands.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <string>

namespace {

QString ValueText(const QJsonValue& value) {
    if (value.isNull() || value.isUndefined())
        return QStringLiteral("(none)");
    if (value.isString())
        return value.toString();
    return QString::fromUtf8(
        QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).chopped(1).mid(1));
}

} // namespace

std::vector<ConfigDifference> DiffConfig(const PrinterConfig& printer, const PrinterConfig& file,
                                         const std::vector<int32_t>& tabs) {
    const QJsonObject held = ConfigToJson(printer);
    const QJsonObject wanted = ConfigToJson(file);
    std::vector<ConfigDifference> differences;
    for (int32_t tab : tabs) {
        const std::vector<std::string> fileTexts = ConfigCommandTexts(file, tab);
        for (const QString& name : ConfigSettingNames()) {
            // A setting the file leaves unset is not written.
            if (wanted.value(name).isNull() || held.value(name) == wanted.value(name))
                continue;
            // The printer's value in the file's record: when the tab's commands stay the
            // same, writing the tab cannot change this setting.
            PrinterConfig probe = file;
            CopyConfigSetting(name, printer, probe);
            if (ConfigCommandTexts(probe, tab) != fileTexts)
                differences.push_back({name, tab, held.value(name), wanted.value(name)});
        }
    }
    return differences;
}

std::vector<int32_t> TabsToWrite(const std::vector<ConfigDifference>& differences,
                                 const std::vector<int32_t>& tabs) {
    std::vector<int32_t> write;
    for (int32_t tab : tabs) {
        if (std::any_of(differences.begin(), differences.end(),
                        [tab](const ConfigDifference& d) { return d.tab == tab; }))
            write.push_back(tab);
    }
    return write;
}

QJsonArray DifferencesJson(const std::vector<ConfigDifference>& differences) {
    QJsonArray list;
    for (const ConfigDifference& d : differences) {
        QJsonObject item;
        item[QStringLiteral("name")] = d.name;
        item[QStringLiteral("tab")] = ConfigTabName(d.tab);
        item[QStringLiteral("printer")] = d.printer;
        item[QStringLiteral("file")] = d.file;
        list.append(item);
    }
    return list;
}

QString DifferencesText(const std::vector<ConfigDifference>& differences) {
    QStringList parts;
    for (const ConfigDifference& d : differences)
        parts << QStringLiteral("%1 %2 -> %3").arg(d.name, ValueText(d.printer), ValueText(d.file));
    return parts.join(QStringLiteral(", "));
}

QString ConfigTabName(int32_t tab) {
    static const char* const kNames[] = {"common", "z", "d", "interface"};
    return tab >= 0 && tab < 4 ? QLatin1String(kNames[tab]) : QString::number(tab);
}
