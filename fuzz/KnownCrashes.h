// Input patterns of fuzz_calls that crash or stall the control today, for faults that are
// being fixed. Built with KAVEL_FUZZ_KNOWN_CRASHES off (the default), the harness steers
// programs clear of them, so that a run reports what is new; built with it on, every
// program runs as decoded, to check the fixes.
#pragma once

#include "CallProgram.h"

namespace kavel::fuzz {

// Changes the arguments of a program that would meet a known fault.
void SteerClearOfKnownCrashes(CallProgram& program);

}  // namespace kavel::fuzz
