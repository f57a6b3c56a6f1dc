// The name tables that turn the instrument's status indexes into the status bar's texts, with
// lookups that are safe for every value the wire can carry: the timebase field has 6 bits
// (0-63) and the volts field 4 bits (0-15), but only 34 timebases and 12 volts settings are
// named. An index no table names reads as UnknownName. Window-free; owns only constant data.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::size_t TimebaseCount = 34;   // named timebases 0-33
inline constexpr std::size_t VoltsCount = 12;      // named volts/div settings 0-11

extern const std::array<const char*, TimebaseCount> TimebaseNames;
extern const std::array<const char*, VoltsCount> VoltsNamesX1;
extern const std::array<const char*, VoltsCount> VoltsNamesX10;
extern const std::array<const char*, 2> ProbeNames;      // by ProbeX10
extern const std::array<const char*, 2> CouplingNames;   // by CouplingDC
extern const std::array<const char*, 4> RunModeNames;

// Text shown for an index that no table names.
inline constexpr const char* UnknownName = "?";

const char* TimebaseName(int index);
const char* VoltsName(int index, bool probeX10);
const char* ProbeName(bool probeX10);
const char* CouplingName(bool couplingDC);
const char* RunModeName(int runMode);
