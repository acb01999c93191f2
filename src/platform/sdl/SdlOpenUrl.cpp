#include <SDL.h>

#include "platform/OpenUrl.h"
#include "frame/TextEncoding.h"

namespace platform {

int OpenUrl(const std::string& url)
{
    if (url.empty()) {
        return -1;
    }
    return SDL_OpenURL(SjisToUtf8(url).c_str()) == 0 ? 0 : -1;
}

}  // namespace platform
