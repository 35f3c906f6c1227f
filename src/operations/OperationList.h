#pragma once

// The one list of the numbered printer operations. Each row gives
//   X(name, number, buffer, extra, progress)
// - name: the operation's name and the function that runs it;
// - buffer: the record the caller hands over, NoBuffer, or ByteBlock (bytes and their count);
// - extra: what the extra integer carries: NoExtra, or ExtraValue (operation 1: 1 shows
//   the progress window; operation 4: the configuration tab to write);
// - progress: how the dispatcher wraps the operation in the progress window.
// The operation codes, the dispatcher's table and the typed calls all come from this list.
#define TARNVIK_OPERATIONS(X)                                                                      \
    X(QueryStatus, 0, PrinterStatus, NoExtra, None)                                                \
    X(ReadConfiguration, 1, PrinterConfig, ExtraValue, WhenExtraIsOne)                             \
    X(ReadPasswordState, 2, PasswordText, NoExtra, None)                                           \
    X(SetPassword, 3, PasswordText, NoExtra, None)                                                 \
    X(WriteConfiguration, 4, PrinterConfig, ExtraValue, Always)                                    \
    X(InitializePrinter, 5, NoBuffer, NoExtra, None)                                               \
    X(DumpText, 6, DumpTextRequest, NoExtra, None)                                                 \
    X(SelfTest, 7, NoBuffer, NoExtra, None)                                                        \
    X(SetClock, 8, PrinterClock, NoExtra, None)                                                    \
    X(ReadClock, 9, PrinterClock, NoExtra, None)                                                   \
    X(CalibrateSensor, 10, SensorCalibration, NoExtra, None)                                       \
    X(ResetPrinter, 11, NoBuffer, NoExtra, None)                                                   \
    X(ReadMemoryInfo, 12, MemoryInfo, NoExtra, Always)                                             \
    X(DownloadFile, 13, DownloadRequest, NoExtra, None)                                            \
    X(SendData, 14, ByteBlock, NoExtra, None)                                                      \
    X(SendStoredCommand, 15, MemoryIndex, NoExtra, None)                                           \
    X(PrintTestPattern, 16, TestPatternRequest, NoExtra, None)                                     \
    X(IgnoreAutoBas, 17, NoBuffer, NoExtra, None)                                                  \
    X(SetNetAddress, 18, PrinterNetConfig, NoExtra, None)                                          \
    X(SetNetName, 19, PrinterNetConfig, NoExtra, None)                                             \
    X(ReadNetSettings, 20, PrinterNetConfig, NoExtra, None)                                        \
    X(ProbePort, 21, NoBuffer, NoExtra, None)                                                      \
    X(ReadPrinterFile, 22, PrinterFileRequest, NoExtra, None)                                      \
    X(ReadSensorSetup, 23, SensorCalibration, NoExtra, None)                                       \
    X(ReadSensorLevels, 24, SensorLevels, NoExtra, None)                                           \
    X(SendLineModeExit, 25, NoBuffer, NoExtra, None)
