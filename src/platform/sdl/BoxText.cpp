#include "platform/sdl/BoxText.h"

#include <vector>

namespace platform::sdl {

namespace {

// Where a character can end: before every byte that does not continue a
// UTF-8 sequence (10xxxxxx), and at the end.
std::vector<size_t> CharacterEnds(const std::string& text)
{
    std::vector<size_t> ends;
    for (size_t i = 1; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ends.push_back(i);
        }
    }
    ends.push_back(text.size());
    return ends;
}

}  // namespace

std::string FitBoxText(const std::string& utf8Text, const std::string& mark,
                       const std::function<bool(const std::string&)>& fits)
{
    if (fits(utf8Text)) {
        return utf8Text;
    }
    // Measuring is the costly part (a text layout per try): halve the range
    // of character ends rather than walk them.
    const std::vector<size_t> ends = CharacterEnds(utf8Text);
    size_t low = 0;            // characters known to fit (0 always does)
    size_t high = ends.size();  // characters known not to (the whole text)
    while (high - low > 1) {
        const size_t mid = low + (high - low) / 2;
        if (fits(utf8Text.substr(0, ends[mid - 1]) + mark)) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return (low == 0 ? std::string() : utf8Text.substr(0, ends[low - 1])) + mark;
}

}  // namespace platform::sdl
