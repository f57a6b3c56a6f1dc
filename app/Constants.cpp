// Name tables of the instrument's status fields (see Constants.h).
#include "app/Constants.h"

const std::array<const char*, TimebaseCount> TimebaseNames = {
    "50ns/div", "125ns/div", "250ns/div", "500ns/div", "1us/div",   "2us/div",  "5us/div",
    "10us/div", "20us/div",  "50us/div",  "0.1ms/div", "0.2ms/div", "0.5ms/div", "1ms/div",
    "2ms/div",  "5ms/div",   "10ms/div",  "20ms/div",  "50ms/div",  "0.1s/div", "0.2s/div",
    "0.5s/div", "1s/div",    "2s/div",    "5s/div",    "10s/div",   "20s/div",  "30s/div",
    "1m/div",   "2m/div",    "5m/div",    "0.25h/div", "0.5h/div",  "1h/div"};

// The lower-case "v" of some entries is how the instrument's own panel spells them.
const std::array<const char*, VoltsCount> VoltsNamesX1 = {
    "20V/div",  "10V/div",  "4v/div",   "2v/div",   "1v/div",  "0.5V/div",
    "0.2V/div", "0.1v/div", "50mV/div", "25mV/div", "10mV/div", "5mV/div"};

const std::array<const char*, VoltsCount> VoltsNamesX10 = {
    "200V/div", "100V/div", "40v/div",  "20v/div",   "10v/div",  "5V/div",
    "2V/div",   "1v/div",   "0.5V/div", "0.25V/div", "0.1V/div", "50mV/div"};

const std::array<const char*, 2> ProbeNames = {"x1", "x10"};
const std::array<const char*, 2> CouplingNames = {"AC", "DC"};
const std::array<const char*, 4> RunModeNames = {"Normal", "Run", "Once", "Roll"};

namespace {
template <std::size_t N>
const char* Lookup(const std::array<const char*, N>& table, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= N) return UnknownName;
  return table[static_cast<std::size_t>(index)];
}
}  // namespace

const char* TimebaseName(int index) { return Lookup(TimebaseNames, index); }

const char* VoltsName(int index, bool probeX10) {
  return Lookup(probeX10 ? VoltsNamesX10 : VoltsNamesX1, index);
}

const char* ProbeName(bool probeX10) { return ProbeNames[probeX10 ? 1 : 0]; }
const char* CouplingName(bool couplingDC) { return CouplingNames[couplingDC ? 1 : 0]; }
const char* RunModeName(int runMode) { return Lookup(RunModeNames, runMode); }
