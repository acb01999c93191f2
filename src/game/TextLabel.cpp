#include "game/TextLabel.h"

void CTextLabel::SetText(const std::string& text)
{
    textPlane_.GetTextDraw()->SetText(text);
    textPlane_.Release();
    textPlane_.DrawTextMode1();
}

std::string CTextLabel::GetText()
{
    return textPlane_.GetTextDraw()->GetText();
}

void CTextLabel::SetBoxSize(int width, int height)
{
    boxWidth_ = width;
    boxHeight_ = height;
}

void CTextLabel::ClearText()
{
    SetText(std::string());
}

int CTextLabel::OnDraw(CPlaneBase* target, const Rect* clip)
{
    if (!visible_ || !textPlane_.IsCreated() || textPlane_.GetTextDraw()->GetText().empty())
        return 0;
    const int32_t x = getX(target, &textPlane_);
    const int32_t y = getY(target, &textPlane_);
    target->BlendBltColorKey(&textPlane_, x, y, level_, nullptr, nullptr, clip);
    return 0;
}

int CTextLabel::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    const int32_t x = getX(target, &textPlane_);
    const int32_t y = getY(target, &textPlane_);
    list->push_back({x, y, x + boxWidth_, y + boxHeight_});
    return 0;
}
