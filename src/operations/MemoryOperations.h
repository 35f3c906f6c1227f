#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/MemoryRecords.h"

#include <cstdint>
#include <string>

class PrinterLink;

// 12: space reports and file lists of DRAM, FLASH and CARD into a MemoryInfo.
LinkError ReadMemoryInfo(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 13: a PC file into one memory, as a DOWNLOAD header followed by the file bytes.
LinkError DownloadFile(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 15: deletes every file of the memory whose index the buffer holds (a 32-bit integer).
LinkError SendStoredCommand(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 22: one printer file, in one frame, into the request's buffer.
LinkError ReadPrinterFile(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

bool ValidMemoryIndex(int32_t memory);
// "" for DRAM, "F," for FLASH, "E," for CARD; empty for other indexes.
const char* MemoryPrefix(int32_t memory);
// The KILL command of a memory; empty for other indexes.
const char* StoredCommand(int32_t memory);
// "DOWNLOAD <prefix>"<name>",<size>," — the file bytes follow the comma directly.
std::string DownloadHeader(int32_t memory, const std::string& printerName, uint32_t size);
