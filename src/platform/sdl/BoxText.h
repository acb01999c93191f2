#pragma once
// Inside the platform layer only: the part of a message box's text that the
// box shows. A text of thousands of characters (a picture name gone wrong)
// would push the box's buttons off the window; it is cut to what fits and
// ends in "…", while stderr gets the whole of it.
#include <functional>
#include <string>

namespace platform::sdl {

// The mark a cut text ends with (U+2026, UTF-8), and the one for a font
// without that glyph.
inline constexpr char kCutMark[] = "\xE2\x80\xA6";
inline constexpr char kAsciiCutMark[] = "...";

// The text itself when fits(utf8Text); otherwise the longest start of it that
// ends on a UTF-8 character boundary and fits with `mark` after it, plus the
// mark (the mark alone when no character fits). `fits` must not turn true
// again for a longer start once it has been false.
std::string FitBoxText(const std::string& utf8Text, const std::string& mark,
                       const std::function<bool(const std::string&)>& fits);

}  // namespace platform::sdl
