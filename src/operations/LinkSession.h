#pragma once

#include "link/PrinterLink.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// One open-exchange-close cycle of an operation: opens the link on construction
// and closes it on every path out.
class LinkSession {
public:
    LinkSession(PrinterLink& link, InterfaceKind kind);
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    bool IsOpen() const { return handle_ != kInvalidLinkHandle; }
    InterfaceKind Kind() const { return kind_; }
    PrinterLink& Link() const { return link_; }

    bool Write(const void* bytes, size_t length);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // A long block (file bytes, raw data) with the progress window open in percent mode
    // around it, when the link has one.
    bool WriteShowingProgress(const void* bytes, size_t length);
    bool ReadByte(uint8_t& byte);
    bool ReadBytes(uint8_t* buffer, int count);
    // Whether bytes already wait in the link's receive ring, so a read needs no device wait.
    bool HasReceived() const { return !link_.Ring(kind_).Empty(); }

private:
    PrinterLink& link_;
    InterfaceKind kind_;
    LinkHandle handle_;
};
