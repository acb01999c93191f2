#pragma once
// CTextDrawable: the message text. Layout breaks a Shift-JIS text into one
// run per character and places each (line breaks, wrapping at the right
// margin, ruby centred over its base, link anchors); BeginDraw, once per
// frame, renders the runs into a work plane a few at a time (one every
// `speed` frames; all at once for speed 0 or after SkipTyping) and copies it
// into the display plane that OnDraw shows. When everything is typed the
// page-end marker appears after the last character; while links are present
// the page is rendered again every frame with the link under the mouse lit.
//
// States: 0 empty, 2 typing, 5 links present, 1 finished (marker shown).
// Sizes from the settings are for "basewidth" pixels of screen width and are
// scaled by ScaleBySettings.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/TextDraw.h"
#include "game/Drawable.h"

class CFastPlane;
class CFrameAnimation;
class CSoftPlane;

// v x width / basewidth of the settings, truncated (v when basewidth is not positive).
int ScaleBySettings(int value);

class CTextDrawable : public CDrawable {
public:
    static constexpr int32_t kStateEmpty = 0;
    static constexpr int32_t kStateFinished = 1;
    static constexpr int32_t kStateTyping = 2;
    static constexpr int32_t kStateLinks = 5;
    // Run flags.
    static constexpr uint32_t kRunRuby = 1;
    static constexpr uint32_t kRunHover = 2;
    static constexpr uint32_t kRunLink = 4;
    // Colours (0x00RRGGBB) of plain, link and hovered-link runs.
    static constexpr uint32_t kPlainColor = 0xFFFFFF;
    static constexpr uint32_t kPlainShadow = 0xA0A0A0;
    static constexpr uint32_t kLinkColor = 0x50FF50;
    static constexpr uint32_t kHoverColor = 0xB0B0FF;
    static constexpr uint32_t kHoverShadow = 0x303030;
    static constexpr uint32_t kHoverBack = 0xA0A0A0;
    static constexpr int32_t kDefaultColor = -1;

    struct TextRun {
        std::string character;  // one Shift-JIS character
        Rect rect;              // relative to the drawable
        uint32_t flags = 0;
        int height = 0;         // font height it renders at (pixels)
        int32_t color = kDefaultColor;  // layout colour of a plain run
    };
    struct LinkRecord {
        int32_t file = 0;
        int32_t offset = 0;
        std::vector<size_t> runs;  // indices into the runs
    };

    // Display and work planes of width x height; limit is a capacity hint.
    CTextDrawable(int width, int height, int limit);
    ~CTextDrawable() override;

    // The display plane at (getX, getY) blended by the level, colour-keyed,
    // within clip; then the marker. 0.
    int OnDraw(CPlaneBase* target, const Rect* clip) override;
    // The text makes its own pictures: both refuse with 1 (a given plane is
    // not taken over and stays the caller's).
    int LoadPicture(std::string name) override;
    int SetPlane(CPlaneBase* plane) override;
    // Lights the link under the mouse; on a new left press over a link writes
    // its file and offset (else both 0). 0.
    int HitTest(CGameKeyInput* keys, CMouseInput* mouse, int32_t* file, int32_t* offset) override;
    // SkipTyping. 0.
    int AdjustFrame() override;
    // The display plane's rectangle while something must be shown again
    // (returns 1), plus the marker's rectangles; else 0.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;
    // The typing step (see the file comment).
    void BeginDraw() override;
    // The level 0-255 the text (and the marker) is drawn at.
    virtual void SetLevel(uint8_t level);

    // Appends the runs of a Shift-JIS text at font size `size` (negative:
    // the "textSize" setting), scaled. State 5 in link mode, else 2.
    void Layout(const std::string& text, int size);
    // Ruby for the next Layout: placed over the text that call lays out.
    void SetString(const std::string& ruby);
    // Starts link {file, offset}: runs laid out until EndLink belong to it.
    void AddRecord(int32_t file, int32_t offset);
    void EndLink();
    // The next character starts a new line.
    void NewLine();
    // Frames per character; 0 types everything at once.
    void SetOption(int speed);
    // The bottom margin is kept but not used by the layout.
    void SetMargins(int top, int bottom, int left, int right);
    // Removes every run and link, clears both planes, hides the marker. State 0.
    void Reset();
    // Whether the marker may appear at the page end.
    void SetMarkerVisible(uint8_t on);
    // Renders all remaining runs in the next step.
    void SkipTyping();
    // Colours the runs rendered in the next drawing step (0x00RRGGBB).
    void SetColorOverride(uint32_t rgb) { colorOverride_ = 0x80000000u | (rgb & 0xFFFFFF); }
    // Colour of the plain runs laid out from now on; kDefaultColor for white.
    void SetLayoutColor(int32_t rgb) { layoutColor_ = rgb < 0 ? kDefaultColor : (rgb & 0xFFFFFF); }
    // Unscaled, as the "linespace" setting gives it.
    void SetLineSpacing(int spacing) { lineSpacing_ = spacing; }
    void SetCharSpacing(int spacing) { charSpacing_ = spacing; }
    // Attaches the page-end marker (owned; the previous one is deleted).
    void SetMarker(CFrameAnimation* marker);
    CFrameAnimation* GetMarker() const { return marker_.get(); }
    // Makes both planes anew at width x height (cleared); the runs stay and
    // are rendered again. 0; 1 when a plane cannot be made.
    int RecreatePlanes(int width, int height);

    // The link hit test at a point relative to the screen; see HitTest.
    void HitTestAt(int mouseX, int mouseY, bool pushed, int32_t* file, int32_t* offset);

    const std::vector<TextRun>& Runs() const { return runs_; }
    const std::vector<LinkRecord>& Links() const { return links_; }
    size_t Cursor() const { return cursor_; }
    int Speed() const { return speed_; }
    bool IsTyping() const { return cursor_ < runs_.size(); }
    uint8_t GetLevel() const { return level_; }
    CFastPlane* GetDisplayPlane() const { return display_.get(); }
    CSoftPlane* GetWorkPlane() const { return work_.get(); }

private:
    // Places one run after the last one. Returns its index.
    size_t PlaceRun(const std::string& character, int height, uint32_t flags);
    void PlaceRuby(size_t first, size_t last);
    void RenderRun(const TextRun& run);
    void ShowMarker(bool show);
    int PlaneWidth() const;

    std::unique_ptr<CFastPlane> display_;
    std::unique_ptr<CSoftPlane> work_;
    CTextDraw text_;
    uint8_t newLine_ = 0;
    std::string ruby_;
    uint8_t linkMode_ = 0;
    std::vector<LinkRecord> links_;
    uint32_t colorOverride_ = 0;
    int32_t layoutColor_ = kDefaultColor;
    int speed_ = 0;
    uint8_t skip_ = 0;
    int32_t tick_ = 0;
    std::vector<TextRun> runs_;
    size_t cursor_ = 0;
    size_t lastBase_ = SIZE_MAX;    // the last run that was not ruby: the layout goes on from it
    size_t lastLaidOut_ = SIZE_MAX;  // the last run of all (ruby included): the marker follows it
    std::unique_ptr<CFrameAnimation> marker_;
    uint8_t markerAllowed_ = 1;
    bool markerShown_ = false;
    bool markerWasShown_ = false;
    Rect markerRect_;
    int lineSpacing_ = 5;
    int charSpacing_ = 0;
    int marginTop_ = 0;
    int marginBottom_ = 0;
    int marginLeft_ = 0;
    int marginRight_ = 0;
    uint8_t level_ = 255;
    uint8_t render_ = 1;
    bool workChanged_ = false;
};
