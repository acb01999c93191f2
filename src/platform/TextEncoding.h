#pragma once
// The Shift-JIS converter moved to the file formats (frame/TextEncoding.h) so
// that parsers and tools use it without the platform layer; this header keeps
// the platform:: spelling working for code written before the move.
#include "frame/TextEncoding.h"

namespace platform {
using ::IsSjisLeadByte;
using ::SjisCharLength;
using ::SjisToUtf8;
using ::SjisToUtf8Strict;
using ::Utf8ToSjis;
using ::Utf8ToSjisStrict;
}  // namespace platform
