#include "game/SharedPictures.h"

#include <map>

#include "display/FastPlane.h"
#include "frame/FileLayer.h"
#include "game/PictureLoader.h"

struct SharedPictures::State {
    std::map<std::string, std::weak_ptr<CPlaneBase>> live;  // by lower-cased name
    size_t bytes = 0;
};

namespace {

size_t PixelBytes(CFastPlane* plane)
{
    const SurfaceView view = plane->GetSurfaceView();
    const int64_t pitch = view.pitch < 0 ? -int64_t{view.pitch} : view.pitch;
    return static_cast<size_t>(pitch * (view.rect.bottom - view.rect.top));
}

}  // namespace

SharedPictures::SharedPictures() : state_(std::make_shared<State>()) {}

SharedPictures::~SharedPictures() = default;

std::shared_ptr<CPlaneBase> SharedPictures::Get(const std::string& name)
{
    std::string key = name;
    MakeLowerSjis(key);  // the file layer matches names without ASCII case
    if (std::shared_ptr<CPlaneBase> plane = state_->live[key].lock()) {
        RecordSeenPicture(name);
        return plane;
    }
    CFastPlane* loaded = LoadPictureOrTofu(name);
    const size_t bytes = PixelBytes(loaded);
    state_->bytes += bytes;
    // The last holder takes the picture out of the count and the table.
    std::weak_ptr<State> ledger = state_;
    std::shared_ptr<CPlaneBase> plane(loaded, [ledger, key, bytes](CPlaneBase* p) {
        if (std::shared_ptr<State> state = ledger.lock()) {
            state->bytes -= bytes;
            auto it = state->live.find(key);
            if (it != state->live.end() && it->second.expired())
                state->live.erase(it);
        }
        delete p;
    });
    state_->live[key] = plane;
    return plane;
}

size_t SharedPictures::HeldBytes() const
{
    return state_->bytes;
}
