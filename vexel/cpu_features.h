// What the processor offers beyond plain 32-bit x86, asked through cpuid. The installer runs on
// any 32-bit x86, so every user of these keeps a path without the feature.
#pragma once

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define VEXEL_HAVE_CPUID 1
#endif

namespace vexel {

// The carry-less multiply (PCLMULQDQ) with SSE2 for its 128-bit registers.
inline bool CpuHasClmul() {
#ifdef VEXEL_HAVE_CPUID
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  return (c & bit_PCLMUL) && (d & bit_SSE2);
#else
  return false;
#endif
}

// BMI2: shifts by a register that leave the flags alone (SHLX, SHRX) and BZHI.
inline bool CpuHasBmi2() {
#ifdef VEXEL_HAVE_CPUID
  unsigned a, b, c, d;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  return (b & bit_BMI2) != 0;
#else
  return false;
#endif
}

}  // namespace vexel
