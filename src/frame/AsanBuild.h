#pragma once
// LANTERN_ASAN is 1 in AddressSanitizer builds (GCC defines
// __SANITIZE_ADDRESS__; older clang only answers __has_feature).
#if defined(__SANITIZE_ADDRESS__)
#define LANTERN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LANTERN_ASAN 1
#endif
#endif
#ifndef LANTERN_ASAN
#define LANTERN_ASAN 0
#endif
