#pragma once
#include <string>

namespace platform {

// Opens the Shift-JIS address in the desktop's browser; 0 on success, -1 when
// there is nothing to open it with.
int OpenUrl(const std::string& url);

}  // namespace platform
