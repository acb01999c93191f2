#pragma once
// DisplacementMap: per-position offsets read by CSoftPlaneImpl::DisplaceBlt.
// Entry (u, v) tells blit position (u, v) which source pixel to take: the one
// dx columns and dy rows away from its own. A new map holds (0, 0) everywhere.
#include <cstddef>
#include <cstdint>
#include <vector>

struct DisplacementEntry {
    int32_t dx = 0;
    int32_t dy = 0;
};

class DisplacementMap {
public:
    // A width x height map of (0, 0); a non-positive side gives an empty map.
    DisplacementMap(int width, int height);
    DisplacementMap(const DisplacementMap&) = delete;
    DisplacementMap& operator=(const DisplacementMap&) = delete;

    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // One pointer per row (GetHeight() of them), each to GetWidth() entries.
    DisplacementEntry* const* GetRows() const { return rows_.data(); }
    // Entry (u, v); the caller keeps 0 <= u < width and 0 <= v < height.
    DisplacementEntry& At(int u, int v) { return rows_[static_cast<std::size_t>(v)][u]; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DisplacementEntry> entries_;
    std::vector<DisplacementEntry*> rows_;
};
