#pragma once

#include <cstdint>
#include <string_view>

// Conversions of the printer's configuration replies.

// The reply's leading decimal number with "." as decimal point (white space skipped, an
// optional sign, digits, an optional fraction); 0 when there are no digits. Values beyond
// the range of a float are held at the largest float of their sign.
float ParseReplyReal(const char* text);

// Dots per millimetre for a resolution in dots per inch, to one decimal: 203 gives 8.0,
// 300 gives 11.8, 600 gives 23.6, 200 gives 7.9. False when the resolution is unusable:
// so small that the dots per millimetre round to 0 (magnitude below 1.27), or too large
// to compute with.
bool DotsPerMmForDpi(float dpi, float& dotsPerMm);

// The D emulation speed of a one-letter reply: "A" to "V" 1.0 to 11.5 in half steps,
// "W" to "Z" 12 to 15, "a" to "e" 16 to 20. False for any other reply.
bool DSpeedFromReply(std::string_view reply, float& speed);

// The letter the D emulation takes for a speed in inch per second: the letter of the
// nearest speed it knows; "G" (4.0) for speeds outside 0.75 to 20.5.
char DSpeedLetter(float speed);

// Z emulation print speed reply: the letters "A" 2, "B" 3, "C" 4, "D" 6, "E" 8, any other
// text its number.
int32_t ZSpeedFromReply(std::string_view reply);

// Codes of the letter replies, 0 when the reply is none of them.
// Z print mode: "T" 1, "P" 2, "R" 1, "A" 1, "C" 3, "D" 3.
int32_t ZPrintModeFromReply(std::string_view reply);
// Z media feed at power-up and head close: "F" 1, "C" 2, "L" 3, "N" 4.
int32_t ZFeedFromReply(std::string_view reply);
// D present sensor and cutter equipped: "N" 1, "E" 2, "A" 2.
int32_t DSwitchFromReply(std::string_view reply);
// D control codes: "S" 1, "1" 2, "2" 3.
int32_t DControlCodesFromReply(std::string_view reply);
