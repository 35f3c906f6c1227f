#pragma once

#include "config/PrinterConfig.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The command texts that write one tab's group of a configuration, in sending order.
// Each text is sent as one piece; some hold several lines. Tabs outside 0 to 3 give none.
// Only settings whose valid flag is 1 are sent, except the sensor intensity of the
// "Common" tab, which is always sent for the record's sensor mode. Settings that cannot
// be expressed are left out: an index outside its table, a length without a usable
// resolution, a real that is not finite or not below 1e9 as sent (a length divided by a
// tiny resolution), a Z character that is NUL.
std::vector<std::string> ConfigCommandTexts(const PrinterConfig& config, int32_t tab);

// False when a real the record marks valid (speed, the longest feed, a length in the unit
// of the record's usable resolution) is not finite or would not be below 1e9 as sent: a
// record that cannot be what a printer or a page produced.
bool RealsSendable(const PrinterConfig& config);

// Z emulation command envelopes, whatever prefix characters the printer uses:
// control: 0x10, the command, 0x1E "XA" 0x1E "JUS" 0x1E "XZ", CR LF;
// format: 0x1E "XA" 0x1E, the command, 0x1E "JUS" 0x1E "XZ", CR LF.
std::string ZControlEnvelope(std::string_view command);
std::string ZFormatEnvelope(std::string_view command);

// A D emulation command for its three control-code sets in one text: 0x02, the command,
// CR, CR LF; "~", the command, CR, CR LF; "~", the command, "|", CR LF.
std::string DTripleText(std::string_view command);

// A value with a fixed number of decimals and "." as decimal point, whatever the locale.
std::string FormatFixed(double value, int decimals);
