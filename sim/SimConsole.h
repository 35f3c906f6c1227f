#pragma once

#include <csignal>
#include <cstdio>
#include <string>

namespace sim {

class VirtualPrinter;

// What a person at the simulator's terminal can do while it serves: put another medium under
// the sensor ("media liner", "media label", "media mark", "media none") and see what the
// printer went through ("report": self-tests, labels, resets, factory defaults, the clock,
// the last dump), and change the status byte the status query answers ("status 1": head
// open). Returns the answer to print.
std::string ConsoleCommand(VirtualPrinter& printer, const std::string& line);

// Reads commands from `in` until `stop` is set or the input ends (then waits for `stop`).
void RunConsole(VirtualPrinter& printer, std::FILE* in, std::FILE* out,
                const volatile std::sig_atomic_t& stop);

// "liner", "label", "mark", "none" as the sensor's media; false for anything else.
bool SetMediaUnderSensor(VirtualPrinter& printer, const std::string& name);

} // namespace sim
