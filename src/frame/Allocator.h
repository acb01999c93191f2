#pragma once
// The program's global operator new / operator delete (Allocator.cpp):
// requests of at most 16 bytes come from the small-block pool, larger ones and
// any request while the pool is exhausted from the heap. The throwing forms
// throw std::bad_alloc when the heap has nothing left; the nothrow forms
// return null.
#include <cstddef>

// Whether the global operators use the small-block pool in this build (false
// under AddressSanitizer, where every request goes to the heap).
bool GlobalAllocatorUsesPool();
// Whether `p` is a block of the global small-block pool.
bool GlobalPoolOwns(const void* p);
