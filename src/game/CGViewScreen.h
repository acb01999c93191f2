#pragma once
// CCGViewScreen: the CG gallery. A page of up to 25 thumbnails, one per group
// of "cg\thumbgroup.txt", with a tab per 25 groups (at most five). A group is
// seen when any of its pictures was shown in play (gSeenPictures, or every
// group with the "omake1" setting); an unseen group shows a placeholder and
// does not open. A seen thumbnail opens the viewer, which shows the group's
// pictures one click after another in full size. Showing pictures here does
// not count them as seen.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/CGReplayBase.h"

class CGameKeyInput;
class CMouseInput;

class CCGViewScreen : public CCGReplayBase {
public:
    static constexpr int kPerPage = 25;

    // Reads the groups, fills the first page, makes the seen/total counter
    // and starts music track 12.
    CCGViewScreen();
    ~CCGViewScreen() override;

    // Selects the page and fills the thumbnails of the page then selected,
    // so the lit tab and the page shown always agree. 0.
    int SelectItem(int page) override;
    // Viewer closed: a left click on a seen thumbnail opens its group.
    // Viewer open: a left or right click shows the next picture, closing
    // after the last. 0.
    int ItemStep(CGameKeyInput* keys, CMouseInput* mouse) override;
    int DrawContents(CPlaneBase* target, const Rect& clip) override;

    // 1 with "omake1", else 1 when the lower-cased name is in gSeenPictures.
    static int IsPictureSeen(const std::string& name);
    int IsGroupSeen(int group) const;

    const std::vector<std::vector<std::string>>& Groups() const { return groups_; }
    int ThumbnailCount() const { return thumbnailCount_; }
    int ViewedGroup() const { return viewedGroup_; }
    int ViewedPicture() const { return viewedPicture_; }
    int SeenCount() const { return seen_; }
    int TotalCount() const { return total_; }
    // Where thumbnail slot k of a page stands.
    static int ThumbnailX(int k) { return 100 + 120 * (k % 5); }
    static int ThumbnailY(int k) { return 60 + 95 * (k / 5); }

private:
    using Plane = std::unique_ptr<CFastPlane>;
    void LoadViewer();
    void MakeCounter();

    Plane title_;
    std::array<Plane, kPerPage> thumbnails_;
    int thumbnailCount_ = 0;
    int fade_ = 0;
    std::vector<std::vector<std::string>> groups_;
    Plane counter_;
    Plane viewer_;
    int viewedGroup_ = -1;
    int viewedPicture_ = 0;
    int seen_ = 0;
    int total_ = 0;
};
