#pragma once
// How a MusicXML voice is given one of a staff's four layers. The reader
// decides it; anything that matches the file's notes to the engine's layers
// (the score view's markings) must decide it the same way, so both use this.

#include <string_view>
#include <utility>
#include <vector>

namespace tonaroengine {

constexpr int kVoiceLayers = 4;

// Answers the layer (0-3) of `voice` in the current measure of one staff, or
// -1 when all four layers are already taken by other voices. `inMeasure` holds
// the measure's voices so far and `preferred` the staff's first voices with
// the layer each was first given; both are updated. A voice keeps the layer
// it had earlier in the measure; else it takes its preferred layer when free,
// else the first free one. Name is std::string or a std::string_view that
// outlives the lists.
template <class Name>
int ChooseVoiceLayer(std::vector<std::pair<Name, int>>& inMeasure,
                     std::vector<std::pair<Name, int>>& preferred, std::string_view voice)
{
    unsigned used = 0;
    for (const auto& [name, layer] : inMeasure) {
        if (name == voice) return layer;
        used |= 1u << layer;
    }
    int wish = -1;
    for (const auto& [name, layer] : preferred)
        if (name == voice) wish = layer;
    if (wish < 0 && preferred.size() < static_cast<size_t>(kVoiceLayers)) {
        wish = static_cast<int>(preferred.size());
        preferred.emplace_back(voice, wish);
    }
    int layer = -1;
    if (wish >= 0 && !(used & (1u << wish))) {
        layer = wish;
    } else {
        for (int l = 0; l < kVoiceLayers && layer < 0; ++l)
            if (!(used & (1u << l))) layer = l;
    }
    if (layer >= 0) inMeasure.emplace_back(voice, layer);
    return layer;
}

}  // namespace tonaroengine
