#include "game/Backlog.h"

#include <cstdlib>

#include "game/TextDrawable.h"
#include "game/TextLabel.h"

namespace {

int32_t ItemNumber(const CBacklogItem& item)
{
    return static_cast<int32_t>(std::strtol(item.text.c_str(), nullptr, 10));
}

}  // namespace

void RenderBacklogPage(const CBacklogEntry& page, CTextDrawable* text, bool links)
{
    text->Reset();
    const std::vector<CBacklogItem>& items = page.items;
    for (size_t i = 0; i < items.size(); ++i) {
        const CBacklogItem& item = items[i];
        switch (item.kind) {
        case CBacklogItem::kText: text->Layout(item.text, -1); break;
        case CBacklogItem::kRuby: text->SetString(item.text); break;
        case CBacklogItem::kLineBreak: text->NewLine(); break;
        case CBacklogItem::kLinkFile:
            // Its offset is the next item; AddAnchor writes the two together.
            if (i + 1 < items.size() && items[i + 1].kind == CBacklogItem::kLinkOffset) {
                if (links)
                    text->AddRecord(ItemNumber(item), ItemNumber(items[i + 1]));
                ++i;
            }
            break;
        case CBacklogItem::kLinkEnd:
            if (links)
                text->EndLink();
            break;
        default: break;  // a lone offset never comes from AddAnchor
        }
    }
}

void CBacklog::Add(int kind, std::string text)
{
    current_.items.push_back({kind, std::move(text)});
}

void CBacklog::AddText(const std::string& text)
{
    Add(CBacklogItem::kText, text);
}

void CBacklog::AddRuby(const std::string& base, const std::string& reading)
{
    Add(CBacklogItem::kRuby, reading);
    Add(CBacklogItem::kText, base);
}

void CBacklog::AddLineBreak()
{
    Add(CBacklogItem::kLineBreak, std::string());
}

void CBacklog::AddAnchor(int32_t id)
{
    AddAnchor(TextHost::kLinkFile, id);
}

void CBacklog::AddAnchor(int32_t file, int32_t offset)
{
    Add(CBacklogItem::kLinkFile, std::to_string(file));
    Add(CBacklogItem::kLinkOffset, std::to_string(offset));
}

void CBacklog::EndAnchor()
{
    Add(CBacklogItem::kLinkEnd, std::string());
}

void CBacklog::SetName(const std::string& name)
{
    current_.name = name;
}

void CBacklog::SetVoice(const std::string& path)
{
    current_.voice = path;
}

void CBacklog::CommitPage()
{
    if (!current_.items.empty() || !current_.name.empty()) {
        log_.push_back(std::move(current_));
        if (log_.size() > kMaxPages)
            log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(kDropCount));
    }
    current_ = CBacklogEntry();
    // The newest page on the bottom line (or as low as a short log allows).
    SetScroll(kLines - 1);
}

void CBacklog::DiscardPage()
{
    current_ = CBacklogEntry();
}

const CBacklogEntry* CBacklog::EntryAt(int line) const
{
    // Both ends are checked: a line below the newest page or above the oldest
    // shows nothing.
    const long long index = static_cast<long long>(log_.size()) - scroll_ + line - 1;
    if (index < 0 || index >= static_cast<long long>(log_.size()))
        return nullptr;
    return &log_[static_cast<size_t>(index)];
}

int CBacklog::RenderEntry(CTextDrawable* text, int line) const
{
    if (log_.empty())
        return -1;
    const CBacklogEntry* entry = EntryAt(line);
    if (!entry)
        return 1;
    RenderBacklogPage(*entry, text, false);
    return 0;
}

int CBacklog::GetEntryInfo(std::string* name, std::string* voice, int line) const
{
    if (log_.empty())
        return -1;
    const CBacklogEntry* entry = EntryAt(line);
    if (!entry)
        return 1;
    if (name)
        *name = entry->name;
    if (voice)
        *voice = entry->voice;
    return 0;
}

int CBacklog::RenderCurrentPage(CTextDrawable* text, CTextLabel* label) const
{
    RenderBacklogPage(current_, text, true);
    label->ClearText();
    label->SetText(current_.name);
    return 0;
}

int CBacklog::Scroll(int delta)
{
    if (log_.empty())
        return -1;
    const long long wanted = static_cast<long long>(scroll_) + delta;
    const long long last = static_cast<long long>(log_.size()) - 1;
    if (wanted < 0) {
        scroll_ = 0;
        return 1;
    }
    if (wanted > last) {
        scroll_ = static_cast<int>(last);
        return 2;
    }
    scroll_ = static_cast<int>(wanted);
    return 0;
}

int CBacklog::SetScroll(int value)
{
    if (log_.empty())
        return -1;
    const int last = static_cast<int>(log_.size()) - 1;
    if (value > last) {
        scroll_ = last;
        return 1;
    }
    if (value < 0) {
        scroll_ = 0;
        return 1;
    }
    scroll_ = value;
    return 0;
}

int CBacklog::GetScroll() const
{
    return log_.empty() ? -1 : scroll_;
}
