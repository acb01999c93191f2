#include "game/SceneReplayScreen.h"

#include <algorithm>
#include <iterator>

#include "display/FastPlane.h"
#include "frame/CMouseInput.h"
#include "frame/File.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "platform/MessageBox.h"
#include "scenario/SceneOffsetMap.h"
#include "scenario/SceneSeen.h"

namespace {

constexpr int kMusicTrack = 15;
constexpr int kFaceTop = 15;
constexpr int kFaceSize = 64;
constexpr int kTitleX = 275;
constexpr int kTitleY = 550;
constexpr int kBustRise = 600;
constexpr const char* kNotSeenThumbnail = "chip\\replay_notseen.png";
constexpr const char* kErrorCaption = "えら";

int gRememberedCharacter = -1;
int gRememberedPage = -1;

// Thumbnails are only shown here: they must not count as pictures seen in
// play (a scene's thumbnail may share its name with a gallery picture).
std::unique_ptr<CFastPlane> LoadUnrecorded(const std::string& name)
{
    return std::unique_ptr<CFastPlane>(CPictureLoader().Load(name));
}

}  // namespace

int CSceneReplayScreen::RememberedCharacter() { return gRememberedCharacter; }
int CSceneReplayScreen::RememberedPage() { return gRememberedPage; }
void CSceneReplayScreen::ForgetRemembered()
{
    gRememberedCharacter = -1;
    gRememberedPage = -1;
}

CSceneReplayScreen::CSceneReplayScreen()
{
    std::string text;
    if (ReadGameTextFile("replay\\characters.txt", &text))
        keys_ = ParseCharacterKeys(text);
    title_.reset(LoadPictureOrTofu("chip\\replay_title.png"));
    bust_ = std::make_unique<CFastPlane>();
    for (int i = 0; i < kReplayCharacters; ++i) {
        const std::string& key = keys_[static_cast<size_t>(i)];
        for (char state : {'d', 'l'}) {
            Plane& face = faces_[static_cast<size_t>(2 * i + (state == 'l'))];
            // An empty row has no pictures (and no message about them).
            if (key.empty())
                face = std::make_unique<CFastPlane>();
            else
                face.reset(LoadPictureOrTofu("chip\\replay_face_" + key + "_" + state + ".png"));
        }
    }
    for (int i = 0; i < kReplayCharacters; ++i) {
        const std::string& key = keys_[static_cast<size_t>(i)];
        if (!key.empty() && ReadGameTextFile("replay\\tf_" + key + ".txt", &text))
            lists_[static_cast<size_t>(i)] = ParseSceneList(text);
    }
    ReadScenePositions();
    for (Plane& thumbnail : thumbnails_)
        thumbnail = std::make_unique<CFastPlane>();
    if (gRememberedCharacter < 0) {
        SelectCharacter(0);
    } else {
        SelectCharacter(gRememberedCharacter);
        SelectItem(gRememberedPage);
    }
    PlayBGM(kMusicTrack);
}

CSceneReplayScreen::~CSceneReplayScreen() = default;

void CSceneReplayScreen::ReadScenePositions()
{
    CFile file;
    const bool read = file.Load("scenario\\scene.dat") == 0;
    const scenario::SceneMapResult result = scenario::ReadSceneOffsetMap(
        read ? file.GetData() : nullptr, read ? file.GetSize() : 0, &positions_);
    if (result == scenario::SceneMapResult::kEmpty)
        platform::ShowMessageBox("回想オフセットマップの読み込みに失敗しました", kErrorCaption,
                                 platform::MessageBoxKind::Ok);
    else if (result == scenario::SceneMapResult::kBadMagic)
        platform::ShowMessageBox("回想オフセットマップが違います", kErrorCaption, platform::MessageBoxKind::Ok);
}

int CSceneReplayScreen::findScene()
{
    return positions_[chosen_];
}

int CSceneReplayScreen::IsSceneSeen(int scene)
{
    if (gConfig.omake1 != 0)
        return 1;
    return gSceneSeen.count(scene) ? 1 : 0;
}

int CSceneReplayScreen::SelectCharacter(int character)
{
    character_ = std::clamp(character, 0, kReplayCharacters - 1);
    const std::string& key = keys_[static_cast<size_t>(character_)];
    if (key.empty())
        bust_->Release();
    else
        bust_->LoadFile("chip\\replay_bust_" + key + ".png");
    bustOffset_ = kBustRise;
    const int scenes = static_cast<int>(std::min<size_t>(lists_[static_cast<size_t>(character_)].size(),
                                                         kPerPage * kMaxItems));
    SetItemCount((scenes + kPerPage - 1) / kPerPage);
    SelectItem(0);
    return 0;
}

int CSceneReplayScreen::SelectItem(int page)
{
    CCGReplayBase::SelectItem(page);
    const auto& list = lists_[static_cast<size_t>(character_)];
    auto entry = list.begin();
    const size_t skip = static_cast<size_t>(kPerPage) * static_cast<size_t>(SelectedItem());
    std::advance(entry, static_cast<std::ptrdiff_t>(std::min(skip, list.size())));
    thumbnailCount_ = 0;
    for (int k = 0; k < kPerPage; ++k) {
        Plane& thumbnail = thumbnails_[static_cast<size_t>(k)];
        if (entry == list.end()) {
            thumbnail->Clear(0u, nullptr);
            continue;
        }
        const int scene = static_cast<int>(entry->first);
        scenes_[static_cast<size_t>(k)] = scene;
        thumbnail = LoadUnrecorded(IsSceneSeen(scene) ? entry->second : kNotSeenThumbnail);
        ++entry;
        ++thumbnailCount_;
    }
    return 0;
}

int CSceneReplayScreen::ItemStep(CGameKeyInput*, CMouseInput* mouse)
{
    if (!mouse->IsLeftNewPress())
        return 0;
    int x = 0, y = 0;
    mouse->GetPos(&x, &y);
    for (int i = 0; i < kReplayCharacters; ++i) {
        if (x >= FaceX(i) && x < FaceX(i) + kFaceSize && y >= kFaceTop && y < kFaceTop + kFaceSize)
            SelectCharacter(i);
    }
    for (int k = 0; k < thumbnailCount_; ++k) {
        int w = 0, h = 0;
        thumbnails_[static_cast<size_t>(k)]->GetSize(&w, &h);
        const bool inside = x >= ThumbnailX(k) && x < ThumbnailX(k) + w && y >= ThumbnailY(k) && y < ThumbnailY(k) + h;
        const int scene = scenes_[static_cast<size_t>(k)];
        if (inside && IsSceneSeen(scene)) {
            chosen_ = scene;
            gRememberedCharacter = character_;
            gRememberedPage = SelectedItem();
            EndScreen(kScreenStartReplay);
        }
    }
    return 0;
}

int CSceneReplayScreen::DrawContents(CPlaneBase* target, const Rect& clip)
{
    CCGReplayBase::DrawContents(target, clip);
    for (int i = 0; i < kReplayCharacters; ++i)
        target->Blt(faces_[static_cast<size_t>(2 * i + (i == character_))].get(), FaceX(i), kFaceTop);
    target->AlphaBlt(title_.get(), kTitleX, kTitleY);
    int w = 0, h = 0;
    bust_->GetSize(&w, &h);
    target->AlphaBlt(bust_.get(), 0, bustOffset_ + gConfig.height - h);
    bustOffset_ = bustOffset_ * 2 / 3;
    for (int k = 0; k < thumbnailCount_; ++k)
        target->Blt(thumbnails_[static_cast<size_t>(k)].get(), ThumbnailX(k), ThumbnailY(k));
    return 0;
}
