#include "link/ComBackend.h"

#include "link/FixedText.h"
#include "link/LinkWait.h"
#include "link/PortNames.h"
#include "link/SerialChoices.h"

#include <QSerialPort>

ComBackend::ComBackend(const ComSettings& settings, const LinkTimeouts& timeouts,
                       const LinkWait& wait)
    : settings_(settings), timeouts_(timeouts), wait_(wait) {}

ComBackend::~ComBackend() {
    Close();
}

bool ComBackend::Open() {
    const QString name = FixedText(settings_.portName, FixedTextKind::Local);
    if (name.isEmpty())
        return false;
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(SerialDeviceForPortName(name));
    port_->setReadBufferSize(32768);
    if (!port_->open(QIODevice::ReadWrite)) {
        port_.reset();
        return false;
    }
    port_->clear(QSerialPort::AllDirections);
    // A setting the port refuses does not fail the open.
    ApplySettings();
    port_->setDataTerminalReady(true);
    port_->setRequestToSend(true);
    port_->clear(QSerialPort::AllDirections);
    return true;
}

void ComBackend::ApplySettings() {
    port_->setBaudRate(kSerialBaudRates.At(settings_.baudIndex).value);
    port_->setDataBits(
        static_cast<QSerialPort::DataBits>(kSerialDataBits.At(settings_.dataBitsIndex).value));
    port_->setParity(
        static_cast<QSerialPort::Parity>(kSerialParities.At(settings_.parityIndex).value));
    const auto stopBits =
        static_cast<QSerialPort::StopBits>(kSerialStopBits.At(settings_.stopBitsIndex).value);
    // POSIX ports have no 1.5 stop bits; two stop bits keep a longer gap that a receiver
    // expecting 1.5 accepts.
    if (!port_->setStopBits(stopBits) && stopBits == QSerialPort::OneAndHalfStop)
        port_->setStopBits(QSerialPort::TwoStop);
    // Hardware handshaking takes precedence over XON/XOFF.
    const int32_t hardware = kSerialHardwareHandshakes.At(settings_.hardwareIndex).value;
    const int32_t flow = hardware != QSerialPort::NoFlowControl
                             ? hardware
                             : kSerialSoftwareHandshakes.At(settings_.softwareIndex).value;
    port_->setFlowControl(static_cast<QSerialPort::FlowControl>(flow));
}

void ComBackend::Close() {
    if (!port_)
        return;
    port_->close();
    port_.reset();
}

intptr_t ComBackend::Handle() const {
    return port_ ? static_cast<intptr_t>(port_->handle()) : -1;
}

bool ComBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!port_)
        return false;
    if (length == 0)
        return true;
    if (port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length)) !=
        static_cast<qint64>(length))
        return false;
    const int wait =
        timeouts_.comWritePerByteMs * static_cast<int>(length) + timeouts_.comWriteConstantMs;
    // The port fails the piece when it moves nothing out for one write wait.
    while (port_->bytesToWrite() > 0) {
        const qint64 before = port_->bytesToWrite();
        const LinkWait::Outcome outcome = wait_.Until(wait, [&](int sliceMs) {
            port_->waitForBytesWritten(sliceMs);
            return port_->bytesToWrite() < before;
        });
        if (outcome != LinkWait::Outcome::Ready) {
            port_->clear(QSerialPort::Output);
            return false;
        }
    }
    return true;
}

size_t ComBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (!port_ || capacity == 0)
        return 0;
    if (port_->bytesAvailable() == 0 && wait_.Until(timeouts_.comReadMs, [&](int sliceMs) {
            return port_->waitForReadyRead(sliceMs) || port_->bytesAvailable() > 0;
        }) != LinkWait::Outcome::Ready)
        return 0;
    const qint64 got = port_->read(reinterpret_cast<char*>(buffer), 1);
    return got > 0 ? static_cast<size_t>(got) : 0;
}
