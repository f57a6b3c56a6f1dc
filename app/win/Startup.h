// The program's unit start-up and shut-down: one ordered list of steps, each with a start-up
// and a shut-down routine, run in list order at start and in reverse order at the end. Steps of
// subsystems that are not built yet are empty entries, so the order stays fixed as they arrive.
// Owns nothing but the record of which steps have started.
#pragma once

#include <string>
#include <vector>

struct TUnitStep {
  const char* Name;
  void (*Init)();   // may be null: nothing to start
  void (*Done)();   // may be null: nothing to stop
};

class TUnitStartup {
public:
  explicit TUnitStartup(std::vector<TUnitStep> steps) : FSteps(std::move(steps)) {}
  TUnitStartup(const TUnitStartup&) = delete;
  TUnitStartup& operator=(const TUnitStartup&) = delete;
  // Stops whatever was started and not stopped yet.
  ~TUnitStartup();

  // Starts every step in order. A step that raises leaves the steps before it stopped again
  // (in reverse order) and the exception propagates.
  void Initialize();
  // Stops the started steps in reverse order; a step that raises does not keep the ones
  // before it from stopping (the first error propagates at the end).
  void Finalize();
  int StartedCount() const { return FStarted; }
  const std::vector<TUnitStep>& Steps() const { return FSteps; }

private:
  std::vector<TUnitStep> FSteps;
  int FStarted = 0;
};

// The program's steps in their fixed order: the framework's units, then the program's own.
std::vector<TUnitStep> OrbexUnitSteps();
