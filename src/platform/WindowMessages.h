#pragma once
// The window-message numbers the program's listeners see. The values are the
// classic window-message numbers, so a listener written against
// (window, message, wParam, lParam) keeps its meaning; the layer defines them
// here once and nowhere else.
#include <cstdint>

namespace platform {

constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmActivate = 0x0006;        // wParam: kWaInactive / kWaActive / kWaClickActive
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmQuit = 0x0012;            // wParam: exit code
constexpr uint32_t kWmActivateApp = 0x001C;     // wParam: 1 activated, 0 deactivated
constexpr uint32_t kWmKeyDown = 0x0100;         // wParam: platform::Key
constexpr uint32_t kWmKeyUp = 0x0101;           // wParam: platform::Key
constexpr uint32_t kWmInitDialog = 0x0110;
constexpr uint32_t kWmCommand = 0x0111;         // low word of wParam: command id
constexpr uint32_t kWmInitMenuPopup = 0x0117;   // wParam: the menu that opens
constexpr uint32_t kWmMouseMove = 0x0200;       // lParam: MakePointParam(client x, client y)
constexpr uint32_t kWmLButtonDown = 0x0201;
constexpr uint32_t kWmLButtonUp = 0x0202;
constexpr uint32_t kWmRButtonDown = 0x0204;
constexpr uint32_t kWmRButtonUp = 0x0205;
constexpr uint32_t kWmMciNotify = 0x03B9;       // CD audio: wParam notify code, lParam device id
constexpr uint32_t kWmUser = 0x0400;            // first number free for the program's own messages

constexpr uint32_t kWaInactive = 0;
constexpr uint32_t kWaActive = 1;
constexpr uint32_t kWaClickActive = 2;

constexpr uint32_t kMciNotifySuccessful = 1;
constexpr uint32_t kMciNotifySuperseded = 2;
constexpr uint32_t kMciNotifyAborted = 4;
constexpr uint32_t kMciNotifyFailure = 8;

// Point parameters pack x in the low and y in the high 16 bits, both signed.
constexpr intptr_t MakePointParam(int x, int y)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                 static_cast<uint16_t>(x));
}
constexpr int PointParamX(intptr_t param) { return static_cast<int16_t>(param & 0xFFFF); }
constexpr int PointParamY(intptr_t param) { return static_cast<int16_t>((param >> 16) & 0xFFFF); }
constexpr uint32_t LowWord(uintptr_t value) { return static_cast<uint32_t>(value & 0xFFFF); }
constexpr uint32_t HighWord(uintptr_t value) { return static_cast<uint32_t>((value >> 16) & 0xFFFF); }

}  // namespace platform
