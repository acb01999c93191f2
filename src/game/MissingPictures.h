#pragma once
// Telling the player about pictures the loader could not find. One missing
// picture is one box. A batch of loads (a saved game putting back its
// pictures, a screen loading its own) may miss hundreds: inside a batch the
// names are collected, and when the batch ends one box names the first few
// and how many more, while stderr gets every one of them. Game thread only.
#include <string>
#include <vector>

// Reports one missing picture: outside a batch at once in its box
// ("みつからないの。。。<name>", caption "えら", OK); inside one, collected
// (a name already collected adds nothing).
void ReportMissingPicture(const std::string& sjisName);

// While one lives, missing pictures are collected; the outermost one, when
// it ends, writes "lantern: picture <name> not found" for each and shows
// one box for all of them. Batches nest: inner ones only add to the outer.
class MissingPictureBatch {
public:
    MissingPictureBatch();
    ~MissingPictureBatch();
    MissingPictureBatch(const MissingPictureBatch&) = delete;
    MissingPictureBatch& operator=(const MissingPictureBatch&) = delete;
};

// The box's text for these names (Shift-JIS, in the order they were met;
// not empty): one name gives the single picture's text; more give the first
// kMissingNamesShown, one a line, and "ほか N 件" for the rest.
std::string MissingPicturesText(const std::vector<std::string>& sjisNames);
constexpr size_t kMissingNamesShown = 5;
