#include "ProgramSwitches.h"

// The delivered program: nothing is switched.
const CProgramSwitches& GetProgramSwitches() {
  static const CProgramSwitches switches;
  return switches;
}
