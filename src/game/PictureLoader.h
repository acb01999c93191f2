#pragma once
// The game's one road for pictures: every picture name is recorded in
// gSeenPictures (SystemData.h) and loaded into a new display plane scaled to
// the screen width; a picture that cannot be loaded is reported and replaced
// by the placeholder "chip\tofu.png", so a missing file never stops the game.
#include <string>

class CFastPlane;

class CPictureLoader {
public:
    virtual ~CPictureLoader() = default;
    // A new plane (owned by the caller, never null). An empty name gives a
    // blank plane without surface and no message; a picture that does not
    // load gives the placeholder (or, if that fails too, a plane without
    // surface); a missing one is reported once (MissingPictures.h: a box,
    // or one box for a whole batch).
    CFastPlane* Load(const std::string& name);
    // The load scale in percent: width * 100 / basewidth of the settings
    // (100 when basewidth is not positive).
    static double Scale();
};

// The file part after the last backslash, ASCII letters lower-cased
// (Shift-JIS double-byte characters keep their bytes).
std::string SeenPictureName(const std::string& name);

// Records the picture's file part in gSeenPictures (not for an empty name).
void RecordSeenPicture(const std::string& name);

// RecordSeenPicture, then loads the full name through CPictureLoader::Load.
// Owned by the caller.
CFastPlane* LoadPictureOrTofu(const std::string& name);
