#include "frame/Assert.h"

#include <cstdio>
#include <cstdlib>

namespace lantern_detail {

void AssertFailed(const char* condition, const char* why, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: assertion failed: %s (%s)\n", file, line, why, condition);
    std::fflush(stderr);
    std::abort();
}

}  // namespace lantern_detail
