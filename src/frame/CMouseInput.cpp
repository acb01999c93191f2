#include "frame/CMouseInput.h"

#include "platform/Input.h"

CMouseInput::CMouseInput() = default;

void CMouseInput::Update()
{
    if (guard_ > 0) {
        --guard_;
    }
    prevLeft_ = left_;
    prevRight_ = right_;
    platform::MouseSnapshot snapshot;
    platform::ReadMouse(&snapshot);
    left_ = snapshot.left;
    right_ = snapshot.right;
    x_ = snapshot.x;
    y_ = snapshot.y;
    wheel_ = snapshot.wheel;
}

int CMouseInput::GetPos(int* x, int* y) const
{
    if (x) {
        *x = x_;
    }
    if (y) {
        *y = y_;
    }
    return 0;
}

bool CMouseInput::IsLeftDown() const { return left_; }

bool CMouseInput::GetPressEdges(bool* left, bool* right) const
{
    const bool leftEdge = left_ && !prevLeft_;
    if (left) {
        *left = leftEdge;
    }
    if (right) {
        *right = right_ && !prevRight_;
    }
    return leftEdge;
}

bool CMouseInput::IsRightNewPress() const { return guard_ <= 0 && right_ && !prevRight_; }
bool CMouseInput::IsLeftNewPress() const { return guard_ <= 0 && left_ && !prevLeft_; }
bool CMouseInput::IsRightRelease() const { return guard_ <= 0 && !right_ && prevRight_; }
bool CMouseInput::IsLeftRelease() const { return guard_ <= 0 && !left_ && prevLeft_; }
