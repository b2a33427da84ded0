#pragma once
// The processor's CPUID instruction, where there is one.
#include <cstdint>

namespace platform {

// Runs CPUID for the given leaf: regs = EAX, EBX, ECX, EDX. False off x86.
bool ReadCpuid(uint32_t leaf, uint32_t regs[4]);

}  // namespace platform
