#pragma once
// CMouseInput: the mouse on the main window, read once per frame. Press and
// release edges compare this frame's reading with the previous one; a guard
// count of frames hides new presses and releases (a click that closed a
// movie must not also act on the screen behind it).
class CMouseInput {
public:
    CMouseInput();

    // Counts the guard down by one when it is positive, keeps the current
    // button states as the previous ones and reads the new states and the
    // pointer position.
    void Update();

    // The pointer's client position at the last Update; returns 0.
    int GetPos(int* x, int* y) const;
    // Wheel steps read by the last Update: positive away from the user.
    int GetWheel() const { return wheel_; }
    // True while the left button is down (at the last Update).
    bool IsLeftDown() const;
    // Press edges of both buttons (down now, up at the previous Update) into
    // *left and *right (either may be null); returns the left one. The guard
    // is not consulted.
    bool GetPressEdges(bool* left, bool* right) const;
    // True only in the frame the button went down, false while guarded.
    bool IsRightNewPress() const;
    bool IsLeftNewPress() const;
    // True only in the frame the button went up, false while guarded.
    bool IsRightRelease() const;
    bool IsLeftRelease() const;

    // Ignore new presses and releases for the next `frames` updates.
    void SetGuard(int frames) { guard_ = frames; }
    int GetGuard() const { return guard_; }

private:
    int x_ = 0;
    int y_ = 0;
    int wheel_ = 0;
    bool left_ = false;
    bool right_ = false;
    bool prevLeft_ = false;
    bool prevRight_ = false;
    int guard_ = 0;
};
