#include "game/MissingPictures.h"

#include <algorithm>
#include <set>

#include "game/ErrorReport.h"
#include "platform/MessageBox.h"

namespace {

struct Collected {
    int depth = 0;                    // batches alive
    std::vector<std::string> names;   // in the order met
    std::set<std::string> known;      // the same, to keep each name once
};

Collected& Batch()
{
    static Collected batch;
    return batch;
}

void ShowBox(const std::string& text)
{
    platform::ShowMessageBox(text, "えら", platform::MessageBoxKind::Ok);
}

}  // namespace

std::string MissingPicturesText(const std::vector<std::string>& sjisNames)
{
    // The first name keeps the single picture's line, so a player who has
    // seen that box before recognises this one; the others follow below it.
    std::string text = "みつからないの。。。";
    const size_t shown = std::min(sjisNames.size(), kMissingNamesShown);
    for (size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "<" : "\n<") + sjisNames[i] + ">";
    if (sjisNames.size() > shown)
        text += "\nほか " + std::to_string(sjisNames.size() - shown) + " 件";
    return text;
}

void ReportMissingPicture(const std::string& sjisName)
{
    Collected& batch = Batch();
    if (batch.depth == 0) {
        ShowBox(MissingPicturesText({sjisName}));
        return;
    }
    if (batch.known.insert(sjisName).second)
        batch.names.push_back(sjisName);
}

MissingPictureBatch::MissingPictureBatch() { ++Batch().depth; }

MissingPictureBatch::~MissingPictureBatch()
{
    Collected& batch = Batch();
    if (--batch.depth > 0 || batch.names.empty())
        return;
    // Taken out first: a picture loaded while the box is up (a redraw) is
    // no longer part of this batch.
    const std::vector<std::string> names = std::move(batch.names);
    batch.names.clear();
    batch.known.clear();
    for (const std::string& name : names)
        WriteErrorLine("picture " + name + " not found");
    ShowBox(MissingPicturesText(names));
}
