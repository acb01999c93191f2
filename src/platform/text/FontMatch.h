#pragma once
// fontconfig matching of a face name with the Japanese language (internal to
// the text layer).
#include <string>

namespace platform::text {

struct FontFile {
    std::string path;  // empty: nothing found
    int index = 0;     // face index within a collection file
};

// The file of the face named (UTF-8) with the Japanese language. With
// `exact` the match must carry the requested family name; otherwise any
// face with Japanese glyphs will do.
FontFile MatchFace(const std::string& familyUtf8, bool exact);

// The requested face (Shift-JIS name), else the fallback Japanese face, else
// any Japanese face; an empty path when none is installed.
FontFile ResolveFace(const std::string& faceSjis);

}  // namespace platform::text
