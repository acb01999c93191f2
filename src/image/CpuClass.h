#pragma once
// The processor class that chooses the software plane's kernel set, detected
// once per process: 1 no CPUID, 2 no SIMD, 3 SIMD without CMOV, 4 SIMD with
// CMOV. Classes 1 and 2 get the plain integer kernels (set A), 3 and 4 the
// SIMD kernels (sets B and C, which are the same). On x86-64 the SIMD set is
// written with SSE2, which every such processor has.

// 1-4; the same value on every call (unless a test forces another).
int GetCpuClass();

// Tests only: makes GetCpuClass return `cpuClass` (1-4) from now on, so that
// both kernel sets are exercised on every machine; 0 returns to detection.
// Planes already constructed keep their kernels.
void ForceCpuClassForTesting(int cpuClass);
