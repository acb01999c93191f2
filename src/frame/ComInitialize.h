#pragma once
// Per-thread counted COM initialisation. There is no COM here; the count is
// kept so that callers pair their calls as they would on the original
// platform, and so that the per-thread bookkeeping stays observable.

// Raises the calling thread's count under a lock; 0 (the first call of a
// thread "initialises" and always succeeds here).
int ComInitializeThread();
// Lowers the count; at 0 the thread is forgotten. A call without a matching
// ComInitializeThread does nothing.
void ComUninitializeThread();
// The calling thread's current count (for tests).
int ComThreadCount();
