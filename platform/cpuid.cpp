#include "platform/cpuid.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

bool ReadCpuid(uint32_t leaf, uint32_t regs[4]) {
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(leaf, a, b, c, d);
  regs[0] = a;
  regs[1] = b;
  regs[2] = c;
  regs[3] = d;
  return true;
#else
  regs[0] = regs[1] = regs[2] = regs[3] = 0;
  (void)leaf;
  return false;
#endif
}

}  // namespace platform
