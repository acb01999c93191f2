#include "game/TextDrawable.h"

#include <algorithm>

#include "display/FastPlane.h"
#include "frame/CMouseInput.h"
#include "game/FrameAnimation.h"
#include "game/GameConfig.h"
#include "image/SoftPlane.h"
#include "frame/TextEncoding.h"

namespace {
constexpr int kMaxPosition = 1 << 28;
}  // namespace

int ScaleBySettings(int value)
{
    if (gConfig.basewidth <= 0)
        return value;
    const double scaled = static_cast<double>(value) * gConfig.width / gConfig.basewidth;
    // Far beyond any screen; keeps sums of a few scaled values inside int.
    return static_cast<int>(std::clamp(scaled, -16777216.0, 16777216.0));
}

CTextDrawable::CTextDrawable(int width, int height, int limit)
    : display_(std::make_unique<CFastPlane>()), work_(std::make_unique<CSoftPlane>())
{
    work_->GetImpl()->SetUseDIBSection(true);
    RecreatePlanes(width, height);
    text_.SetColor(kPlainColor);
    text_.SetColor2(static_cast<int32_t>(kPlainShadow));
    runs_.reserve(limit > 0 ? std::min(limit, 4096) : 256);
}

CTextDrawable::~CTextDrawable() = default;

int CTextDrawable::RecreatePlanes(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    const int displayMade = display_->Create(width, height);
    const int workMade = work_->Create(width, height);
    if (displayMade == 0)
        display_->Clear();
    // Everything laid out is typed again, at once, into the new planes.
    cursor_ = 0;
    if (!runs_.empty())
        skip_ = 1;
    render_ = 1;
    return displayMade == 0 && workMade == 0 ? 0 : 1;
}

int CTextDrawable::PlaneWidth() const
{
    int w = 0;
    int h = 0;
    display_->GetSize(&w, &h);
    return w;
}

int CTextDrawable::LoadPicture(std::string)
{
    return 1;
}

int CTextDrawable::SetPlane(CPlaneBase*)
{
    return 1;
}

void CTextDrawable::SetLevel(uint8_t level)
{
    level_ = level;
    if (marker_)
        marker_->SetLevel(level);
}

void CTextDrawable::SetString(const std::string& ruby)
{
    ruby_ = ruby;
}

void CTextDrawable::AddRecord(int32_t file, int32_t offset)
{
    links_.push_back({file, offset, {}});
    linkMode_ = 1;
}

void CTextDrawable::EndLink()
{
    linkMode_ = 0;
}

void CTextDrawable::NewLine()
{
    newLine_ = 1;
}

void CTextDrawable::SetOption(int speed)
{
    speed_ = std::max(0, speed);
}

void CTextDrawable::SetMargins(int top, int bottom, int left, int right)
{
    marginTop_ = top;
    marginBottom_ = bottom;
    marginLeft_ = left;
    marginRight_ = right;
}

void CTextDrawable::SetMarkerVisible(uint8_t on)
{
    markerAllowed_ = on;
    if (!on)
        ShowMarker(false);
}

void CTextDrawable::SkipTyping()
{
    skip_ = 1;
}

int CTextDrawable::AdjustFrame()
{
    SkipTyping();
    return 0;
}

void CTextDrawable::SetMarker(CFrameAnimation* marker)
{
    marker_.reset(marker);
    markerShown_ = false;
    if (marker_) {
        marker_->SetVisible(false);
        marker_->SetLevel(level_);
    }
}

void CTextDrawable::ShowMarker(bool show)
{
    show = show && markerAllowed_ && marker_;
    markerShown_ = show;
    if (marker_)
        marker_->SetVisible(show);
}

void CTextDrawable::Reset()
{
    runs_.clear();
    links_.clear();
    display_->Clear();
    work_->Clear();
    cursor_ = 0;
    lastBase_ = SIZE_MAX;
    lastLaidOut_ = SIZE_MAX;
    skip_ = 0;
    newLine_ = 0;
    linkMode_ = 0;
    ruby_.clear();
    ShowMarker(false);
    state_ = kStateEmpty;
    // The cleared plane must reach the screen even though nothing is typed.
    render_ = 1;
}

size_t CTextDrawable::PlaceRun(const std::string& character, int height, uint32_t flags)
{
    text_.SetText(character);
    text_.SetHeight(height);
    int cw = 0;
    int ch = 0;
    text_.GetExtent(&cw, &ch);
    const int left = ScaleBySettings(marginLeft_);
    const int spacing = ScaleBySettings(lineSpacing_);
    int x = 0;
    int y = 0;
    if (lastBase_ == SIZE_MAX) {
        x = left;
        y = ScaleBySettings(marginTop_);
        if (newLine_)
            y += spacing + ch;
    } else {
        const Rect& last = runs_[lastBase_].rect;
        x = last.right + ScaleBySettings(charSpacing_);
        y = last.top;
        if (newLine_) {
            x = left;
            y = last.top + spacing + ch;
        }
    }
    if (x + cw >= PlaneWidth() - ScaleBySettings(marginRight_)) {
        const int bottom = lastBase_ == SIZE_MAX ? y + ch : runs_[lastBase_].rect.bottom;
        x = left;
        y = bottom + spacing;
    }
    // Lines far below the plane are laid out all the same; their positions
    // are held where hostile spacings cannot overflow them.
    x = std::clamp(x, -kMaxPosition, kMaxPosition);
    y = std::clamp(y, -kMaxPosition, kMaxPosition);
    TextRun run;
    run.character = character;
    run.rect = {x, y, x + cw, y + ch};
    run.flags = flags;
    run.height = height;
    run.color = layoutColor_;
    runs_.push_back(std::move(run));
    const size_t index = runs_.size() - 1;
    if (flags & kRunLink)
        links_.back().runs.push_back(index);
    lastBase_ = index;
    lastLaidOut_ = index;
    newLine_ = 0;
    return index;
}

void CTextDrawable::PlaceRuby(size_t first, size_t last)
{
    const int height = ScaleBySettings(gConfig.rubySize);
    std::vector<std::string> characters;
    int rw = 0;
    int rh = 0;
    for (size_t pos = 0; size_t length = SjisCharLength(ruby_, pos); pos += length) {
        characters.push_back(ruby_.substr(pos, length));
        text_.SetText(characters.back());
        text_.SetHeight(height);
        int w = 0;
        int h = 0;
        text_.GetExtent(&w, &h);
        rw = std::max(rw, w);
        rh = std::max(rh, h);
    }
    const Rect base0 = runs_[first].rect;
    const Rect base1 = runs_[last].rect;
    const int top = base0.top - rh;
    const int n = static_cast<int>(characters.size());
    int64_t spacing = 0;
    if (n > 1)
        spacing = std::max<int64_t>(0, (int64_t{base1.right} - base0.left - int64_t{n} * rw) / (n - 1));
    for (int i = 0; i < n; ++i) {
        const int64_t at = n == 1 ? (int64_t{base1.right} - rw + base0.left) / 2 : base0.left + i * (rw + spacing);
        const int x = static_cast<int>(std::clamp<int64_t>(at, -kMaxPosition, kMaxPosition));
        TextRun run;
        run.character = characters[static_cast<size_t>(i)];
        run.rect = {x, top, x + rw, top + rh};
        run.flags = kRunRuby;
        run.height = height;
        runs_.push_back(std::move(run));
        lastLaidOut_ = runs_.size() - 1;
    }
}

void CTextDrawable::Layout(const std::string& text, int size)
{
    const int height = ScaleBySettings(size < 0 ? gConfig.textSize : size);
    const size_t first = runs_.size();
    const uint32_t flags = linkMode_ && !links_.empty() ? kRunLink : 0;
    // Shift-JIS: a lead byte takes the next byte; half-width kana are one byte.
    for (size_t pos = 0; size_t length = SjisCharLength(text, pos); pos += length)
        PlaceRun(text.substr(pos, length), height, flags);
    if (!ruby_.empty() && runs_.size() > first)
        PlaceRuby(first, runs_.size() - 1);
    ruby_.clear();
    state_ = flags ? kStateLinks : kStateTyping;
}

void CTextDrawable::RenderRun(const TextRun& run)
{
    text_.SetText(run.character);
    text_.SetHeight(run.height);
    if ((run.flags & kRunLink) && (run.flags & kRunHover)) {
        text_.SetColor(kHoverColor);
        text_.SetColor2(static_cast<int32_t>(kHoverShadow));
        text_.SetBackColor(static_cast<int32_t>(kHoverBack));
    } else if (run.flags & kRunLink) {
        text_.SetColor(kLinkColor);
        text_.SetColor2(static_cast<int32_t>(kPlainShadow));
        text_.SetBackColor(CTextDraw::kNoColor);
    } else {
        text_.SetColor(run.color == kDefaultColor ? kPlainColor : static_cast<uint32_t>(run.color));
        text_.SetColor2(static_cast<int32_t>(kPlainShadow));
        text_.SetBackColor(CTextDraw::kNoColor);
    }
    if (colorOverride_ & 0x80000000u)
        text_.SetColor(colorOverride_ & 0xFFFFFF);
    text_.Draw(work_->GetImpl()->GetDC(), run.rect.left, run.rect.top);
    workChanged_ = true;
}

void CTextDrawable::BeginDraw()
{
    ++tick_;
    if (marker_)
        marker_->BeginDraw();
    if (runs_.empty()) {
        // The cleared page was repainted by this frame's rectangle; an empty
        // page has nothing more to draw until text arrives.
        state_ = kStateEmpty;
        render_ = 0;
        return;
    }
    if (cursor_ >= runs_.size()) {
        if (links_.empty()) {
            state_ = kStateFinished;
            if (marker_ && lastLaidOut_ < runs_.size()) {
                int w = 0;
                int h = 0;
                marker_->GetSize(&w, &h);
                const Rect& last = runs_[lastLaidOut_].rect;
                marker_->SetPos(std::max(0, x_ + last.right), std::max(0, y_ + last.bottom - h));
            }
            ShowMarker(true);
        } else {
            state_ = kStateLinks;
            if (render_) {
                // Everything again with the current highlight.
                work_->Clear();
                workChanged_ = true;
                cursor_ = 0;
                skip_ = 1;
            } else {
                skip_ = 0;
            }
            ShowMarker(false);
        }
    } else {
        render_ = 1;
        ShowMarker(false);
    }
    while (cursor_ < runs_.size() && (skip_ || speed_ == 0 || tick_ % speed_ == 0)) {
        RenderRun(runs_[cursor_]);
        ++cursor_;
        if (!skip_ && speed_ != 0)
            break;
    }
    if (workChanged_) {
        display_->BltFromDIB(work_.get());
        workChanged_ = false;
    }
    render_ = 0;
    colorOverride_ = 0;
}

int CTextDrawable::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    if (state_ != kStateEmpty && state_ != kStateFinished)
        render_ = 1;
    // The marker's rectangle while it shows, and once more after it hides.
    if (marker_ && markerShown_) {
        const size_t before = list->size();
        marker_->AddDirtyRects(target, list);
        if (list->size() > before)
            markerRect_ = list->back();
        markerWasShown_ = true;
    } else if (markerWasShown_) {
        list->push_back(markerRect_);
        markerWasShown_ = false;
    }
    if (!display_->IsCreated() || !render_)
        return 0;
    int w = 0;
    int h = 0;
    display_->GetSize(&w, &h);
    const int32_t x = getX(target, display_.get());
    const int32_t y = getY(target, display_.get());
    list->push_back({x, y, x + w, y + h});
    return 1;
}

int CTextDrawable::OnDraw(CPlaneBase* target, const Rect* clip)
{
    if (!visible_)
        return 0;
    if (display_->IsCreated()) {
        const int32_t x = getX(target, display_.get());
        const int32_t y = getY(target, display_.get());
        target->BlendBltColorKey(display_.get(), x, y, level_, nullptr, nullptr, clip);
    }
    if (marker_ && markerShown_)
        marker_->OnDraw(target, clip);
    return 0;
}

void CTextDrawable::HitTestAt(int mouseX, int mouseY, bool pushed, int32_t* file, int32_t* offset)
{
    *file = 0;
    *offset = 0;
    const int px = mouseX - x_;
    const int py = mouseY - y_;
    size_t hovered = SIZE_MAX;
    for (size_t i = 0; i < links_.size(); ++i) {
        for (size_t run : links_[i].runs) {
            const Rect& r = runs_[run].rect;
            if (px >= r.left && px < r.right && py >= r.top && py < r.bottom)
                hovered = i;
        }
    }
    for (TextRun& run : runs_) {
        if (run.flags & kRunLink)
            run.flags &= ~kRunHover;
    }
    if (hovered != SIZE_MAX) {
        const LinkRecord& link = links_[hovered];
        for (size_t run : link.runs)
            runs_[run].flags |= kRunHover;
        if (pushed) {
            *file = link.file;
            *offset = link.offset;
        }
        if (link.file != 0 || link.offset != 0)
            render_ = 1;
    }
    if (state_ != kStateEmpty && state_ != kStateFinished)
        render_ = 1;
}

int CTextDrawable::HitTest(CGameKeyInput*, CMouseInput* mouse, int32_t* file, int32_t* offset)
{
    int mx = 0;
    int my = 0;
    if (mouse == nullptr) {
        *file = 0;
        *offset = 0;
        return 0;
    }
    mouse->GetPos(&mx, &my);
    HitTestAt(mx, my, mouse->IsLeftNewPress(), file, offset);
    return 0;
}
