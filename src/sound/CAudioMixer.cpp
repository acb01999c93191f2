#include "sound/CAudioMixer.h"

#include <algorithm>

#include "frame/ErrorLog.h"
#include "platform/Audio.h"

namespace {

platform::AudioLine LineOf(int component)
{
    return static_cast<platform::AudioLine>(component);
}

}  // namespace

const char* CAudioMixer::GetErrorText(int code)
{
    switch (code) {
    case 0: return "CAudioMixer::あれ？NOERRORが返ってますよ";
    case 2: return "CAudioMixer::デバイス識別子が不正または有効範囲外でした";
    case 4: return "CAudioMixer::指定したリソースは、最大許容数のクライアントにすでに割り当てられていました";
    case 5: return "CAudioMixer::指定したデバイスハンドルが不正です";
    case 6: return "CAudioMixer::デバイスドライバが存在しませんでした";
    case 7: return "CAudioMixer::必要なメモリを割り当てることができませんでした";
    case 10: return "CAudioMixer::フラグの指定が不正です";
    case 11: return "CAudioMixer::アドレスが不正です";
    case 1025: return "CAudioMixer::コントロールの参照が不正です";
    default: return "CAudioMixer::原因不明のエラーが起こりました";
    }
}

CAudioMixer::CAudioMixer()
{
    ready_ = Open() == 0;
}

CAudioMixer::~CAudioMixer()
{
    Close();
}

int CAudioMixer::Open()
{
    if (open_ && Close() != 0) {
        return 1;
    }
    // Our mixer is always there: one device whose four lines all have a
    // stereo volume control.
    for (int c = 0; c < kComponents; ++c) {
        Component& comp = components_[c];
        comp.present = true;
        comp.channels = 2;
        platform::GetLineGain(LineOf(c), &comp.left, &comp.right);
    }
    open_ = true;
    return 0;
}

bool CAudioMixer::FindControl(int component)
{
    if (!open_) {
        gErrorLog.Print("ミキサデバイスのハンドルがありませんでした");
        return false;
    }
    if (component < 0 || component >= kComponents || !components_[component].present) {
        gErrorLog.Print("%dのIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした",
                        component);
        return false;
    }
    values_.assign(std::max(components_[component].channels, 2), 0);
    uint16_t l = 0, r = 0;
    platform::GetLineGain(LineOf(component), &l, &r);
    values_[0] = l;
    values_[1] = r;
    return true;
}

int CAudioMixer::SetVolume(int component, int volume, int pan)
{
    volume = std::clamp(volume, 0, 65535);
    pan = std::clamp(pan, -32767, 32768);
    if (!FindControl(component)) {
        return -1;
    }
    uint32_t left = static_cast<uint32_t>(volume);
    uint32_t right = static_cast<uint32_t>(volume);
    if (components_[component].channels >= 2) {
        if (pan >= 0) {
            right = static_cast<uint32_t>(static_cast<int64_t>(volume) * (32768 - pan) / 32768);
        } else {
            left = static_cast<uint32_t>(static_cast<int64_t>(volume) * (pan + 32767) / 32767);
        }
    }
    platform::SetLineGain(LineOf(component), static_cast<uint16_t>(left), static_cast<uint16_t>(right));
    return 0;
}

int CAudioMixer::RestoreVolume(int component)
{
    if (!open_) {
        return 1;
    }
    if (component < 0 || component >= kComponents || !components_[component].present) {
        return 2;
    }
    const Component& comp = components_[component];
    platform::SetLineGain(LineOf(component), comp.left, comp.right);
    return 0;
}

int CAudioMixer::Close()
{
    if (!open_) {
        return 0;
    }
    for (int c = 0; c < kComponents; ++c) {
        RestoreVolume(c);
    }
    open_ = false;
    return 0;
}
