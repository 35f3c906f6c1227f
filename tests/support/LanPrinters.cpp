#include "LanPrinters.h"

SimulatedLanPrinter::SimulatedLanPrinter(const std::string& address, uint16_t port,
                                         sim::NetModule::Identity id, size_t answerLength) {
    net = &printer.AddModule<sim::NetModule>(std::move(id));
    sim::LanResponder::Options options;
    options.address = address;
    options.port = port;
    options.discoveryAnswerLength = answerLength;
    responder = std::make_unique<sim::LanResponder>(printer, options);
}

sim::NetModule::Identity LanIdentity(const std::string& mac, const std::string& name) {
    sim::NetModule::Identity id;
    id.mac = mac;
    id.factoryName = name;
    id.model = "TV-SIM";
    return id;
}

bool LanPrinterPair::Start(sim::NetModule::Identity firstId, sim::NetModule::Identity secondId,
                           std::string* error) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        first = std::make_unique<SimulatedLanPrinter>("127.0.0.2", 0, firstId);
        if (!first->responder->Start()) {
            if (error)
                *error = first->responder->Error();
            return false;
        }
        port = first->responder->Port();
        second = std::make_unique<SimulatedLanPrinter>("127.0.0.3", port, secondId);
        if (second->responder->Start())
            return true;
        if (error)
            *error = second->responder->Error();
    }
    return false;
}

LanClientSettings LanPrinterPair::ClientSettings(int discoveryWaitMs, int answerWaitMs) const {
    LanClientSettings settings;
    settings.broadcastTargets = {QHostAddress(QStringLiteral("127.0.0.2")),
                                 QHostAddress(QStringLiteral("127.0.0.3"))};
    settings.multicastTargets = settings.broadcastTargets;
    settings.port = port;
    settings.bindAddress = QHostAddress::LocalHost;
    settings.discoveryWaitMs = discoveryWaitMs;
    settings.answerWaitMs = answerWaitMs;
    return settings;
}
