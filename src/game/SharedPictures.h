#pragma once
// SharedPictures: the decoded pictures of the scenario's drawables, one per
// file however many keys show it. A picture lives while a drawable holds it
// and is decoded again when it is next asked for after that; what all the
// live ones hold is counted, so a load can be held to a bound.
#include <cstddef>
#include <memory>
#include <string>

class CPlaneBase;

class SharedPictures {
public:
    SharedPictures();
    ~SharedPictures();
    SharedPictures(const SharedPictures&) = delete;
    SharedPictures& operator=(const SharedPictures&) = delete;

    // The picture of the full name (base directory included): the live one
    // of that name (ASCII case aside), else one loaded through
    // LoadPictureOrTofu, so a missing file gives the placeholder after one
    // box. Records the name as seen either way. Never null.
    std::shared_ptr<CPlaneBase> Get(const std::string& name);
    // The pixel bytes of the live pictures, each counted once.
    size_t HeldBytes() const;

private:
    struct State;
    std::shared_ptr<State> state_;  // shared with the pictures' deleters, which may outlive this
};
