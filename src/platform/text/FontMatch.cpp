#include "platform/text/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <strings.h>

#include <cstdio>

#include "frame/TextEncoding.h"

namespace platform::text {
namespace {

// The face the install scripts provide (fonts-ipafont-gothic), under the
// family name fontconfig gives it.
constexpr const char* kFallbackFamily = "IPAGothic";
constexpr const char* kFallbackFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

bool HasFamily(FcPattern* match, const std::string& family)
{
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

FontFile MatchFace(const std::string& familyUtf8, bool exact)
{
    FontFile result;
    if (!FcInit()) {
        return result;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return result;
    }
    if (!familyUtf8.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    }
    FcLangSet* langs = FcLangSetCreate();
    if (langs != nullptr) {
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("ja"));
        FcPatternAddLangSet(pattern, FC_LANG, langs);
        FcLangSetDestroy(langs);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &status);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return result;
    }
    FcChar8* file = nullptr;
    int index = 0;
    const bool familyOk = !exact || HasFamily(match, familyUtf8);
    if (familyOk && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        result.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
            result.index = index;
        }
    }
    FcPatternDestroy(match);
    return result;
}

FontFile ResolveFace(const std::string& faceSjis)
{
    if (!faceSjis.empty()) {
        FontFile wanted = MatchFace(SjisToUtf8(faceSjis), true);
        if (!wanted.path.empty()) {
            return wanted;
        }
    }
    FontFile fallback = MatchFace(kFallbackFamily, true);
    if (!fallback.path.empty()) {
        return fallback;
    }
    // fontconfig may be unconfigured (a bare container): try the file itself.
    if (FILE* probe = std::fopen(kFallbackFile, "rb")) {
        std::fclose(probe);
        return {kFallbackFile, 0};
    }
    return MatchFace("", false);
}

}  // namespace platform::text
