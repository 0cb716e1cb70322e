// Where each stored entry lives: entry number -> the key of its cell layer
// (LayerKey). Internal to the engine.
//
// Entry numbers are handed out in sequence from 1, so nearly all of them
// are small and dense: those are kept in a plain array indexed by number
// (no hashing, no node per entry, nothing to free one by one). A number far
// above the others (a plug-in may store any 32-bit number) goes to a hash
// map instead, so a single large number never costs memory in proportion
// to its size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tonaroengine {

class EntryIndex {
public:
    // The layer key of entnum; null when the number is not in use. The
    // pointer lives until the next Set or Erase.
    const uint64_t* Find(uint32_t entnum) const
    {
        if (entnum < dense_.size()) return dense_[entnum] != kAbsent ? &dense_[entnum] : nullptr;
        auto found = sparse_.find(entnum);
        return found == sparse_.end() ? nullptr : &found->second;
    }
    bool Contains(uint32_t entnum) const { return Find(entnum) != nullptr; }
    size_t Size() const { return size_; }

    // Records entnum as living in the layer with this key (replacing any
    // earlier place). layerKey must not be ~0.
    void Set(uint32_t entnum, uint64_t layerKey)
    {
        if (entnum >= dense_.size() && entnum < DenseLimit()) Grow(entnum);
        if (entnum < dense_.size()) {
            if (dense_[entnum] == kAbsent) ++size_;
            dense_[entnum] = layerKey;
            return;
        }
        if (sparse_.insert_or_assign(entnum, layerKey).second) ++size_;
    }

    void Erase(uint32_t entnum)
    {
        if (entnum < dense_.size()) {
            if (dense_[entnum] != kAbsent) --size_;
            dense_[entnum] = kAbsent;
        } else if (sparse_.erase(entnum)) {
            --size_;
        }
    }

private:
    static constexpr uint64_t kAbsent = ~uint64_t{0};

    // Numbers below this go to the array: room for the numbers in use and
    // as many again, and never less than 64k.
    size_t DenseLimit() const { return std::max<size_t>(size_t{1} << 16, 2 * size_ + 1024); }

    void Grow(uint32_t entnum)
    {
        size_t capacity = std::max<size_t>(dense_.size() * 2, 1024);
        while (capacity <= entnum) capacity *= 2;
        dense_.resize(capacity, kAbsent);
        // Numbers the array now covers leave the hash map.
        for (auto it = sparse_.begin(); it != sparse_.end();) {
            if (it->first < dense_.size()) {
                dense_[it->first] = it->second;
                it = sparse_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::vector<uint64_t> dense_;
    std::unordered_map<uint32_t, uint64_t> sparse_;
    size_t size_ = 0;
};

}  // namespace tonaroengine
