#include "operations/SensorOperations.h"

#include "operations/CommandText.h"
#include "operations/FirmwareEditions.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

namespace {

LinkError QueryNumber(LinkSession& session, const char* command, int32_t& value) {
    char reply[1024];
    int length = 0;
    if (const LinkError code = QueryFramed(session, command, reply, sizeof reply, &length);
        code != LinkOk)
        return code;
    value = ParseReplyNumber(reply);
    return LinkOk;
}

} // namespace

std::string CalibrationCommands(const SensorCalibration& c) {
    std::string text;
    if (c.kind == CalibrationAutomatic && c.mediaType != MediaContinuous && c.paperHeight != 0 &&
        c.gapLength != 0) {
        text = "SET SENSOR_REF MANUAL\r\n";
        const char* detect = c.mediaType == MediaGap             ? "GAPDETECT %d,%d\r\n"
                             : c.mediaType == MediaBlackMark     ? "BLINEDETECT %d,%d\r\n"
                             : c.mediaType == MediaAutoSelection ? "AUTODETECT %d,%d\r\n"
                                                                 : nullptr;
        if (detect)
            text += FormatCommand(detect, c.paperHeight, c.gapLength);
    } else if (c.kind == CalibrationAutomatic) {
        text = "SET SENSOR_REF AUTO\r\n";
        switch (c.mediaType) {
        case MediaGap:
            text += "GAPDETECT\r\n";
            break;
        case MediaBlackMark:
            text += "BLINEDETECT\r\n";
            break;
        case MediaContinuous:
            text += "GAP 0.12,0\r\nGAP 0,0\r\n";
            break;
        case MediaAutoSelection:
            text += "AUTODETECT\r\n";
            break;
        default:
            break;
        }
    } else if (c.kind == CalibrationManual) {
        text = "SET SENSOR_REF MANUAL\r\n";
        switch (c.mediaType) {
        case MediaGap:
            text += "GAP 0.08,0\r\n";
            break;
        case MediaBlackMark:
            text += "BLINE 0.08,0\r\n";
            break;
        case MediaContinuous:
            text += "GAP 0,0\r\n";
            break;
        default:
            break;
        }
        if (c.intensity != 0 && c.threshold != 0)
            text += FormatCommand("SET GAP %d,%d\r\n", c.intensity, c.threshold);
        else if (c.intensity != 0)
            text += FormatCommand("SET GAP %d\r\n", c.intensity);
    }
    return text;
}

LinkError CalibrateSensor(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const std::string text = CalibrationCommands(*static_cast<const SensorCalibration*>(buffer));
    if (text.empty())
        return LinkOk;
    return session.Write(text) ? LinkOk : LinkTransmissionError;
}

LinkError ReadSensorSetup(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    auto& calibration = *static_cast<SensorCalibration*>(buffer);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (const LinkError code = AnnounceInterface(session); code != LinkOk)
        return code;

    int32_t mode = 0;
    if (const LinkError code = QueryNumber(session, "DIAGNOSTIC REPORT SENSORMODE\r\n", mode);
        code != LinkOk)
        return code;
    // The mode picks one of three intensity reports: higher modes count as continuous,
    // negative ones as the gap sensor.
    if (mode > MediaContinuous)
        mode = MediaContinuous;
    if (mode < MediaGap)
        mode = MediaGap;
    calibration.mediaType = mode;

    static const char* const kIntensityReports[] = {
        "DIAGNOSTIC REPORT GAPINTEN\r\n",
        "DIAGNOSTIC REPORT BLINEINTEN\r\n",
        "DIAGNOSTIC REPORT CONINTEN\r\n",
    };
    // Fields of the packed record are assigned, never bound to references.
    int32_t intensity = 0;
    if (const LinkError code = QueryNumber(session, kIntensityReports[mode], intensity);
        code != LinkOk)
        return code;
    calibration.intensity = intensity;

    // Older printers know no threshold; what was read so far is a complete answer.
    int32_t edition = 0;
    if (QueryNumber(session, "DIAGNOSTIC REPORT EDITION\r\n", edition) != LinkOk ||
        edition < kFirstEditionWithThreshold)
        return LinkOk;
    int32_t threshold = 0;
    const LinkError code = QueryNumber(session, "DIAGNOSTIC REPORT THRESHOLD\r\n", threshold);
    if (code == LinkOk)
        calibration.threshold = threshold;
    return code;
}

LinkError ReadSensorLevels(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    auto& levels = *static_cast<SensorLevels*>(buffer);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const char* command = levels.sensorSelect == 1 ? "DIAGNOSTIC REPORT BLINESENSOR\r\n"
                                                   : "DIAGNOSTIC REPORT GAPSENSOR\r\n";
    if (SendCommandText(session, command) != LinkOk)
        return LinkTransmissionError;

    // Readings beyond the record's 128 are read and dropped, so the list is taken whole.
    int count = 0;
    for (int frames = 0; frames < kMaxSensorListFrames; ++frames) {
        char reply[64];
        int length = 0;
        if (!ReadFramedReply(session, reply, sizeof reply, &length))
            return LinkReceivingError;
        if (length == 0) {
            levels.count = count;
            return LinkOk;
        }
        if (count < kMaxSensorReadings)
            levels.readings[count++] = ParseReplyNumber(reply);
    }
    return LinkReceivingError;
}
