#pragma once
// CBacklog: the pages the message window has shown, oldest first, and the
// page being shown now. The message window's feed (TextLog) adds each text
// run, ruby, line break, link and speaker name; the voice channel adds the
// voice file played for the page; the end of the page commits it. The log is
// never saved: it lives as long as the game.
//
// A page is a list of items that replays the page into a text drawable:
//   0 text run, 1 ruby for the next run, 2 line break,
//   3 + 4 a link's file and offset (always written together), 5 link end.
// Kind 5 keeps a restored page from turning all text after a link into the
// link.
//
// The view: `scroll` pages back from the newest. Line l (0..3) of the backlog
// screen shows page count - scroll + l - 1, so with scroll 3 the newest page
// is at the bottom line.
#include <string>
#include <vector>

#include "game/TextHost.h"

class CTextDrawable;
class CTextLabel;

struct CBacklogItem {
    enum Kind : int { kText = 0, kRuby = 1, kLineBreak = 2, kLinkFile = 3, kLinkOffset = 4, kLinkEnd = 5 };
    int kind = kText;
    std::string text;
};

struct CBacklogEntry {
    std::vector<CBacklogItem> items;
    std::string name;
    std::string voice;
};

class CBacklog : public TextLog {
public:
    // More pages than this after a commit drop the oldest kDropCount.
    static constexpr size_t kMaxPages = 500;
    static constexpr size_t kDropCount = 200;
    // Lines of the backlog screen; a commit scrolls so that the newest page
    // is on the last one.
    static constexpr int kLines = 4;

    // ---- TextLog (the message window's feed)
    void AddText(const std::string& text) override;
    // The reading, then its base text.
    void AddRuby(const std::string& base, const std::string& reading) override;
    void AddLineBreak() override;
    // The scenario's link id as the link {TextHost::kLinkFile, id}.
    void AddAnchor(int32_t id) override;
    void EndAnchor() override;
    void SetName(const std::string& name) override;
    // Appends the page when it has an item or a name (dropping the oldest
    // pages past kMaxPages), starts an empty page and shows the newest pages.
    void CommitPage() override;
    // Empties the current page (items, name and voice); the log stays.
    void DiscardPage() override;

    // The link {file, offset}: two items.
    void AddAnchor(int32_t file, int32_t offset);
    // The voice file path played for the current page.
    void SetVoice(const std::string& path);

    // Renders page count - scroll + line - 1 into text (reset first), links
    // as plain text. 0; 1 when that page does not exist; -1 for an empty log.
    int RenderEntry(CTextDrawable* text, int line) const;
    // That page's speaker name and voice file (either output may be null);
    // results as RenderEntry, outputs written only on 0.
    int GetEntryInfo(std::string* name, std::string* voice, int line) const;
    // The unfinished current page back into the message window, links
    // included: the text reset and laid out again, the label set to its name. 0.
    int RenderCurrentPage(CTextDrawable* text, CTextLabel* label) const;

    // scroll += delta, held to 0..count - 1: 0, or 1 when held at 0, 2 when
    // held at count - 1; -1 (nothing changed) for an empty log.
    int Scroll(int delta);
    // scroll := value: 0, or 1 when it was larger than count - 1 (held
    // there); a negative value is held at 0 (also 1); -1 for an empty log.
    int SetScroll(int value);
    // scroll, or -1 for an empty log.
    int GetScroll() const;

    size_t Count() const { return log_.size(); }
    const CBacklogEntry& Page(size_t index) const { return log_[index]; }
    const CBacklogEntry& CurrentPage() const { return current_; }

private:
    // The page line `line` shows; null when there is none.
    const CBacklogEntry* EntryAt(int line) const;
    void Add(int kind, std::string text);

    std::vector<CBacklogEntry> log_;
    CBacklogEntry current_;
    int scroll_ = 0;
};

// Replays a page's items into text (reset first); with links false the link
// items are skipped and their text comes out plain.
void RenderBacklogPage(const CBacklogEntry& page, CTextDrawable* text, bool links);
