#pragma once
// LANTERN_ASSERT(condition, why): a check of a programmer's promise (an
// operation called out of order, a null handle dereferenced), never of input
// a file or a player can produce: those get an error result. Active in debug
// builds and in the sanitizer and fuzzing builds (LANTERN_ASSERTIONS); a
// failed check prints where and why to stderr and aborts, so the sanitizer
// or the debugger shows the caller. In a release build it compiles to nothing
// and the condition is not evaluated.
#if !defined(NDEBUG) || defined(LANTERN_ASSERTIONS)
#define LANTERN_ASSERT(condition, why)                                                    \
    ((condition) ? static_cast<void>(0) : ::lantern_detail::AssertFailed(#condition, why, \
                                                                        __FILE__, __LINE__))
#else
#define LANTERN_ASSERT(condition, why) static_cast<void>(0)
#endif

namespace lantern_detail {
[[noreturn]] void AssertFailed(const char* condition, const char* why, const char* file, int line);
}
