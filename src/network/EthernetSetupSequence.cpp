#include "network/EthernetSetupSequence.h"

#include "ui/Prompter.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "network/TFormEthernetSetup.h"
#include "operations/Dispatch.h"

#include <QString>

#include <cstring>

void EthernetSetupSequence::Enable(bool enabled) {
    if (setMainWindowEnabled)
        setMainWindowEnabled(enabled);
}

void EthernetSetupSequence::Run() {
    const auto startOperation = [this] {
        Enable(false);
        if (ProgressWindow* progress = link.Progress())
            progress->SetProgressPosition(anchor.x(), anchor.y());
    };

    startOperation();
    PrinterNetConfig read{};
    SetNetConfigDefaults(read);
    const LinkError readResult = Dispatch(link, OpReadNetSettings, kind, &read);
    if (readResult != LinkOk) {
        prompter.Error(parent, QString::fromLatin1(LinkErrorText(readResult)));
        Enable(true);
        return;
    }
    Enable(true);
    config.dhcp = read.dhcp;
    std::memcpy(config.ipAddress, read.ipAddress, sizeof config.ipAddress);
    std::memcpy(config.subnetMask, read.subnetMask, sizeof config.subnetMask);
    std::memcpy(config.gateway, read.gateway, sizeof config.gateway);
    std::memcpy(config.lastUsedIp, read.lastUsedIp, sizeof config.lastUsedIp);
    std::memcpy(config.printerName, read.printerName, sizeof config.printerName);
    std::memcpy(config.macAddress, read.macAddress, sizeof config.macAddress);

    {
        TFormEthernetSetup dialog(anchor.x(), anchor.y(), true, config, languageIndex, parent);
        if (runDialog)
            runDialog(dialog);
        else
            dialog.exec();
    }
    if (config.apply == 0)
        return;
    if (passwordGate && !passwordGate())
        return;

    PrinterNetConfig change{};
    change.dhcp = config.dhcp;
    std::memcpy(change.ipAddress, config.ipAddress, sizeof change.ipAddress);
    std::memcpy(change.subnetMask, config.subnetMask, sizeof change.subnetMask);
    std::memcpy(change.gateway, config.gateway, sizeof change.gateway);
    std::memcpy(change.printerName, config.printerName, sizeof change.printerName);
    startOperation();
    const uint32_t operation = config.action == 1 ? OpSetNetName : OpSetNetAddress;
    const LinkError writeResult = Dispatch(link, operation, kind, &change);
    if (writeResult != LinkOk)
        prompter.Error(parent, QString::fromLatin1(LinkErrorText(writeResult)));
    Enable(true);
}
