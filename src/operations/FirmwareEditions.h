#pragma once

// What the printer's firmware edition (its EDITION key) says about the printer: the one
// place the thresholds are written for the operations, the configuration reading and the
// exporter's metrics.

// Printers of this edition or lower have no password.
constexpr int kLastEditionWithoutPassword = 100;
// From this edition on the printer knows the Z and D emulation keys.
constexpr int kFirstEditionWithEmulations = 100;
// From this edition on it reports the lifetime cutter count (CUTCOUNTER) and MAXLENGTH.
constexpr int kFirstEditionWithCutCounter = 102;
// From this edition on it reports the resettable distance and cutter count and the ribbon
// and auto threshold keys.
constexpr int kFirstEditionWithResettableCounters = 103;
// From this edition on it reports the sensor threshold.
constexpr int kFirstEditionWithThreshold = 104;
