#pragma once

#include "ConfigDiff.h"
#include "FleetRunner.h"

#include "config/ConfigFile.h"
#include "operations/ClockRecords.h"
#include "operations/LinkError.h"
#include "operations/PrinterNetConfig.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The per-printer jobs of the subcommands, each one or a few operations through Dispatch.
// They run on worker threads and touch nothing but their link and their own result.

FleetRunner::Job StatusJob();

// Reads the configuration and the status; with a file pattern also writes the ".dcf"
// image there ("{link}" in the pattern is replaced by the link with every character but
// letters, digits, "." and "-" turned into "_").
FleetRunner::Job ConfigReadJob(const QString& filePattern, int unitIndex);
// The file a read of this printer goes to.
QString ConfigFileFor(const QString& filePattern, const QString& link);

// Writes the configuration of the given tabs, in order, stopping at the first failure.
// With onlyDifferent the printer's configuration is read first and only the tabs holding
// a setting that differs from the file are written; "changed" says whether any was.
// The printer does not answer configuration commands, so the written tabs are read back:
// a setting the printer does not hold afterwards is listed in "notTaken" and fails the
// printer with kNotTaken; only settings it holds are listed as written ("differences").
// A record that fails CheckConfigRanges is refused with result 5 ("File Data Error" and
// the value in the summary) before the link is opened.
FleetRunner::Job ConfigWriteJob(const ConfigFileContent& content, std::vector<int32_t> tabs,
                                bool onlyDifferent = false);
// The refusal of a record the configuration page could not hold ("File Data Error (Density
// 20 is outside 0 to 15)"); nullopt when it may be sent.
std::optional<PrinterResult> RangeRefusal(const PrinterConfig& config);
// After a write of the given tabs the printer is read again: notTaken lists the settings of
// those tabs it does not hold as written (the printer does not answer the commands).
LinkError ReadBackWritten(PrinterLink& link, const LinkAddress& printer,
                          const PrinterConfig& written, const std::vector<int32_t>& tabs,
                          std::vector<ConfigDifference>& notTaken);
// The result of a write whose read-back failed, with the data of what was sent.
PrinterResult ReadBackFailed(LinkError code, const PrinterResult& sent);

// Reads the configuration and lists the settings of the given tabs that differ from the
// file's ("differs", "differences").
FleetRunner::Job ConfigDiffJob(const ConfigFileContent& content, std::vector<int32_t> tabs);

FleetRunner::Job FilesListJob();
FleetRunner::Job DownloadJob(const QByteArray& localPath, const QByteArray& printerName,
                             int32_t memory);
FleetRunner::Job FormatJob(int32_t memory);
FleetRunner::Job SendJob(const QByteArray& bytes);

// Sends a firmware file raw, as the file manager's "Firmware File" does, then waits at
// most waitMs for the printer to restart and answer again, and reads its version. The
// printer counts as back once it answered after having stopped answering, or answered
// with the expected version; an empty expectedVersion accepts any.
FleetRunner::Job FirmwareJob(const QByteArray& bytes, const QString& expectedVersion, int waitMs);

FleetRunner::Job ClockReadJob();
// nullopt: the local time when the job reaches the printer.
FleetRunner::Job ClockSetJob(std::optional<PrinterClock> clock);

FleetRunner::Job NetReadJob();
// What "net set" changes: the address (DHCP or fixed), the name, or both.
struct NetChange {
    bool setAddress = false;
    bool setName = false;
    PrinterNetConfig config{};
};
FleetRunner::Job NetSetJob(const NetChange& change);

// The job runs only when the password check lets the change go on.
FleetRunner::Job PasswordGuarded(FleetRunner::Job job, std::optional<QByteArray> password);
