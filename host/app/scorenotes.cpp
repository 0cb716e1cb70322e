#include "host/app/scorenotes.h"

#include <zip.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include <pugixml.hpp>

#include "host/app/window/scorepitch.h"
#include "host/engine/document.h"
#include "host/engine/pitch.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace tonaroapp {

namespace {

// The written name of a stored note on a staff placed as placement says.
std::string WrittenName(const StaffPlacement& placement, uint16_t key, const EXNOTE& note)
{
    if (placement.stepShift == 0 && placement.keySharps == 0)
        return tonaroengine::NoteName(key, note.displacement, note.raiselower);
    static const char kLetters[7] = {'C', 'D', 'E', 'F', 'G', 'A', 'B'};
    const int step = tonaroengine::AbsoluteStep(key, note.displacement) + placement.stepShift;
    const int alteration = ShownAlteration(placement, key, note.displacement, note.raiselower);
    std::string name(1, kLetters[((step % 7) + 7) % 7]);
    if (alteration > 0) name.append(static_cast<size_t>(alteration), '#');
    if (alteration < 0) name.append(static_cast<size_t>(-alteration), 'b');
    const int octave = step >= 0 ? step / 7 : -((-step + 6) / 7);
    return name + std::to_string(octave);
}

}  // namespace

std::vector<ScoreNote> CollectNotes(const tonaroengine::Document* document, bool written)
{
    std::vector<ScoreNote> notes;
    if (document == nullptr) return notes;
    for (int slot = 1; slot <= document->StaffCount(); ++slot) {
        const int16_t staff = document->StaffAtSlot(slot);
        for (int measure = 1; measure <= document->MeasureCount(); ++measure) {
            const uint16_t key = document->CellKeySignature(staff, static_cast<int16_t>(measure));
            for (int layer = 0; layer < 4; ++layer) {
                for (const EXENTRY& entry : document->Entries(staff, static_cast<int16_t>(measure), layer)) {
                    if ((entry.flags & EXENTRY_NOTE) == 0) continue;
                    const int count = std::min<int>(entry.numNotes, EXENTRY_MAXNOTES);
                    StaffPlacement placement;
                    if (written)
                        placement = PlacementAt(document, staff, static_cast<int16_t>(measure), entry.position, false);
                    for (int n = 0; n < count; ++n) {
                        const EXNOTE& note = entry.notes[n];
                        notes.push_back({slot, measure, layer, entry.entnum, n, WrittenName(placement, key, note)});
                    }
                }
            }
        }
    }
    return notes;
}

std::vector<NoteChange> CompareNotes(const std::vector<ScoreNote>& before, const std::vector<ScoreNote>& after)
{
    std::map<std::pair<uint32_t, int>, const ScoreNote*> old;
    for (const ScoreNote& note : before) old[{note.entry, note.noteIndex}] = &note;
    std::vector<NoteChange> changes;
    for (const ScoreNote& note : after) {
        auto it = old.find({note.entry, note.noteIndex});
        if (it == old.end() || it->second->name == note.name) continue;
        changes.push_back({note.slot, note.measure, it->second->name, note.name});
    }
    return changes;
}

std::vector<NoteChange> ChangedNotes(const tonaroengine::Document* document, int firstStep, bool written)
{
    std::vector<NoteChange> changes;
    if (document == nullptr) return changes;
    std::vector<tonaroengine::LayerChange> layers = document->ChangedLayersSince(firstStep);
    // Entries are matched by number wherever they were before: one may have
    // moved to another layer of the edit.
    std::unordered_map<uint32_t, const EXENTRY*> before;
    for (const tonaroengine::LayerChange& layer : layers)
        for (const EXENTRY& entry : layer.before)
            if ((entry.flags & EXENTRY_NOTE) != 0) before.emplace(uint32_t{entry.entnum}, &entry);
    std::vector<std::pair<int, const tonaroengine::LayerChange*>> order;  // slot, layer
    order.reserve(layers.size());
    for (const tonaroengine::LayerChange& layer : layers) order.emplace_back(document->SlotOfStaff(layer.staff), &layer);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second->measure, a.second->layer) <
               std::tie(b.first, b.second->measure, b.second->layer);
    });
    for (const auto& [slot, layer] : order) {
        const uint16_t key = document->CellKeySignature(layer->staff, layer->measure);
        for (const EXENTRY& entry : layer->after) {
            if ((entry.flags & EXENTRY_NOTE) == 0) continue;
            auto old = before.find(uint32_t{entry.entnum});
            if (old == before.end()) continue;
            const int count = std::min<int>(entry.numNotes, EXENTRY_MAXNOTES);
            const int oldCount = std::min<int>(old->second->numNotes, EXENTRY_MAXNOTES);
            for (int n = 0; n < count && n < oldCount; ++n) {
                const EXNOTE& now = entry.notes[n];
                const EXNOTE& was = old->second->notes[n];
                if (now.displacement == was.displacement && now.raiselower == was.raiselower) continue;
                StaffPlacement nowPlacement, wasPlacement;
                if (written) {
                    nowPlacement = PlacementAt(document, layer->staff, layer->measure, entry.position, false);
                    wasPlacement = PlacementAt(document, layer->staff, layer->measure, old->second->position, false);
                }
                std::string nameBefore = WrittenName(wasPlacement, key, was);
                std::string nameAfter = WrittenName(nowPlacement, key, now);
                if (nameBefore != nameAfter)
                    changes.push_back({slot, layer->measure, std::move(nameBefore), std::move(nameAfter)});
            }
        }
    }
    return changes;
}

namespace {

int SignExtend(int value, int bits)
{
    const int sign = 1 << (bits - 1);
    value &= (1 << bits) - 1;
    return (value ^ sign) - sign;
}

}  // namespace

std::string DescribeTransposition(const tonaroengine::Document* document, int16_t staff)
{
    if (document == nullptr) return "none";
    const std::vector<uint8_t> spec = document->StaffSpec(staff);
    if (spec.size() < sizeof(EDTStaffSpecHead)) return "none";
    const int word = static_cast<uint16_t>(spec[20] | (spec[21] << 8));
    if ((word & ~TRANSPOSE_FLAG & 0xFFFF) == 0) return "none";
    int interval = 0;
    int alteration = 0;
    if ((word & TRANSPOSE_SECONDENCODING) == 0) {
        alteration = SignExtend(word, 6);
        interval = SignExtend(word >> 6, 6);
    } else {
        const int low = word & 0xFF;
        interval = (low & 0x80) != 0 ? SignExtend(low, 8) : low + 1;
        alteration = SignExtend(word >> 8, 4);
    }
    if (interval == 0 && alteration == 0) return "none";
    std::string text = "written " + std::to_string(interval < 0 ? -interval : interval) + " step(s) " +
                       (interval < 0 ? "down" : "up");
    text += ", key " + std::string(alteration >= 0 ? "+" : "") + std::to_string(alteration);
    return text;
}

namespace {

// The bytes of one member of a zip archive; false when missing or too big.
bool ReadMember(zip_t* archive, const char* name, std::string* out)
{
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > (256u << 20))
        return false;
    zip_file_t* file = zip_fopen(archive, name, 0);
    if (file == nullptr) return false;
    out->assign(stat.size, '\0');
    const zip_int64_t read = zip_fread(file, out->data(), stat.size);
    zip_fclose(file);
    return read == static_cast<zip_int64_t>(stat.size);
}

}  // namespace

bool LoadScoreXml(const std::string& path, pugi::xml_document* xml)
{
    if (!path.ends_with(".mxl")) return static_cast<bool>(xml->load_file(path.c_str()));
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) return false;
    std::string bytes;
    bool ok = false;
    pugi::xml_document container;
    if (ReadMember(archive, "META-INF/container.xml", &bytes) && container.load_buffer(bytes.data(), bytes.size())) {
        const char* root = container.select_node("//rootfile").node().attribute("full-path").value();
        ok = *root != '\0' && ReadMember(archive, root, &bytes) &&
             static_cast<bool>(xml->load_buffer(bytes.data(), bytes.size()));
    }
    zip_close(archive);
    return ok;
}

std::vector<std::string> StaffPartNames(const std::string& path)
{
    std::vector<std::string> names;
    pugi::xml_document xml;
    if (!LoadScoreXml(path, &xml)) return names;
    const pugi::xml_node score = xml.child("score-partwise");
    std::map<std::string, std::string> partNames;
    for (pugi::xml_node part : score.child("part-list").children("score-part"))
        partNames[part.attribute("id").value()] = part.child_value("part-name");
    for (pugi::xml_node part : score.children("part")) {
        int staves = 1;
        for (const pugi::xpath_node& count : part.select_nodes(".//attributes/staves"))
            staves = std::max(staves, count.node().text().as_int(1));
        for (int s = 0; s < staves; ++s) names.push_back(partNames[part.attribute("id").value()]);
    }
    return names;
}

}  // namespace tonaroapp
