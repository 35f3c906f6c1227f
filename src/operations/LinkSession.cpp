#include "operations/LinkSession.h"

#include "link/ProgressWindow.h"

LinkSession::LinkSession(PrinterLink& link, InterfaceKind kind)
    : link_(link), kind_(kind), handle_(link.OpenLink(kind)) {}

LinkSession::~LinkSession() {
    if (IsOpen())
        link_.CloseLink(kind_, handle_);
}

bool LinkSession::Write(const void* bytes, size_t length) {
    return link_.WriteBlock(handle_, kind_, static_cast<const uint8_t*>(bytes),
                            static_cast<uint32_t>(length));
}

bool LinkSession::WriteShowingProgress(const void* bytes, size_t length) {
    ProgressWindow* progress = link_.Progress();
    if (progress)
        progress->ShowProgress(ProgressPercent, 3, 3);
    const bool written = Write(bytes, length);
    if (progress)
        progress->HideProgress(&link_.Waits());
    return written;
}

bool LinkSession::ReadByte(uint8_t& byte) {
    return link_.ReadByte(handle_, kind_, &byte);
}

bool LinkSession::ReadBytes(uint8_t* buffer, int count) {
    return link_.ReadBytes(handle_, kind_, buffer, count);
}
