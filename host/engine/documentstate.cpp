#include "host/engine/documentstate.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <unordered_set>

#include "host/engine/bytes.h"
#include "tonaropdk/hostapi/celldetails.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/prefsrecords.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace tonaroengine {

namespace {

// The clefs every new document defines (index = clef number).
constexpr EDTClefDef kClefDefs[CLEF_COUNT] = {
    {-10, 0x26, -6, 0, {0, 0}},  // treble
    {-4, 0x42, -4, 0, {0, 0}},   // alto
    {-2, 0x42, -2, 0, {0, 0}},   // tenor
    {2, 0x3F, -2, 0, {0, 0}},    // bass
    {-4, 0x2F, -4, 0, {0, 0}},   // percussion
    {-3, 0x56, -6, -1, {0, 0}},  // treble 8vb
    {9, 0x74, -2, -1, {0, 0}},   // bass 8vb
    {-4, 0xAD, -4, 0, {0, 0}},   // tab
};

constexpr size_t kTranspositionOffset = 20;
constexpr size_t kNotationStyleOffset = 10;
constexpr size_t kFlagsOffset = 22;
constexpr size_t kClefOffset = 0;

bool Covers(const StaffStyle& style, int16_t measure, int32_t position)
{
    const bool afterStart =
        measure > style.startMeasure || (measure == style.startMeasure && position >= style.startPosition);
    const bool beforeEnd =
        measure < style.endMeasure || (measure == style.endMeasure && position <= style.endPosition);
    return afterStart && beforeEnd;
}

// The entry numbers of a layer's records, sorted (duplicates kept).
std::vector<uint32_t> SortedEntryNumbers(const Layer& entries)
{
    std::vector<uint32_t> numbers;
    numbers.reserve(entries.size());
    // Entry records are packed: numbers are copied out before use.
    for (const EXENTRY& entry : entries) numbers.push_back(uint32_t{entry.entnum});
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

uint64_t Mix(uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

// A print of what a cell layer's records say about the music, to tell
// whether a measure must be laid out anew: durations, positions, entry
// flags and, for notes, each note's pitch and flags. Entry numbers, note
// IDs and what storing a frame normalises (the ID copy in the note flags,
// unused slots, the note slot a rest is given) leave it as it is, so that
// saving unchanged records changes nothing. An empty layer prints 0.
uint64_t MusicPrint(uint64_t layerKey, const Layer& entries)
{
    if (entries.empty()) return 0;
    uint64_t print = Mix(layerKey);
    for (const EXENTRY& entry : entries) {
        const uint32_t flags = entry.flags & ~EXENTRY_RESTNOTESLOT;
        print = Mix(print ^ ((static_cast<uint64_t>(static_cast<uint16_t>(entry.duration)) << 32) | flags));
        print = Mix(print ^ static_cast<uint32_t>(entry.position));
        if (!(flags & EXENTRY_NOTE)) continue;
        const int notes = std::clamp<int>(entry.numNotes, 0, EXENTRY_MAXNOTES);
        for (int i = 0; i < notes; ++i) {
            const EXNOTE& note = entry.notes[i];
            const uint64_t pitch = (static_cast<uint64_t>(static_cast<uint16_t>(note.displacement)) << 48) |
                                   (static_cast<uint64_t>(static_cast<uint16_t>(note.raiselower)) << 32) |
                                   (note.flags & ~EXNOTE_IDCOPY_MASK);
            print = Mix(print ^ pitch);
        }
    }
    return print;
}

// Whether two layers hold the same records, byte for byte (records are
// packed, so their bytes are all of their contents).
bool SameRecords(const Layer& a, const Layer& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(EXENTRY)) == 0);
}

// The entry numbers met so far while a layer is stored: a short list for
// the usual small layer, a hash set for a long one.
class SeenNumbers {
public:
    explicit SeenNumbers(size_t count) : small_(count <= kListLimit)
    {
        if (small_)
            list_.reserve(count);
        else
            set_.reserve(count);
    }
    bool Contains(uint32_t number) const
    {
        return small_ ? std::find(list_.begin(), list_.end(), number) != list_.end() : set_.count(number) > 0;
    }
    void Insert(uint32_t number)
    {
        if (small_)
            list_.push_back(number);
        else
            set_.insert(number);
    }

private:
    static constexpr size_t kListLimit = 64;
    bool small_;
    std::vector<uint32_t> list_;
    std::unordered_set<uint32_t> set_;
};

template <typename T>
void Append(std::vector<uint8_t>* out, const T& value)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    out->insert(out->end(), bytes, bytes + sizeof value);
}

void AppendBytes(std::vector<uint8_t>* out, const uint8_t* bytes, size_t size)
{
    Append(out, static_cast<uint64_t>(size));
    out->insert(out->end(), bytes, bytes + size);
}

bool SameLayer(const Layer& a, const Layer* b)
{
    const size_t size = b != nullptr ? b->size() : 0;
    if (a.size() != size) return false;
    return size == 0 || std::memcmp(a.data(), b->data(), size * sizeof(EXENTRY)) == 0;
}

bool SameStyles(const std::vector<StaffStyle>& a, const std::vector<StaffStyle>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const StaffStyle& x, const StaffStyle& y) {
        return x.startMeasure == y.startMeasure && x.startPosition == y.startPosition &&
               x.endMeasure == y.endMeasure && x.endPosition == y.endPosition &&
               x.transposition == y.transposition && x.clef == y.clef && x.notationStyle == y.notationStyle;
    });
}

bool SameStaff(const std::optional<StaffData>& a, const StaffData* b)
{
    if (!a || b == nullptr) return !a && b == nullptr;
    return a->spec == b->spec && SameStyles(a->styles, b->styles);
}

bool SameRecord(const std::optional<RecordBytes>& a, const RecordBytes* b)
{
    if (!a || b == nullptr) return !a && b == nullptr;
    return *a == *b;
}

}  // namespace

bool EditStep::Empty() const
{
    return layersBefore.empty() && recordsBefore.empty() && stavesBefore.empty() && !slotsBefore &&
           measuresBefore.empty() && measureCountBefore == measureCountAfter && nextEntnumBefore == nextEntnumAfter;
}

DocumentState::DocumentState(int16_t documentNumber) : number(documentNumber)
{
    // Preferences that every document has.
    EDTGeneralPrefs general{};
    general.defaultUnit = 1;
    general.octaveOffset = 0;
    const uint16_t prefsAddress[4] = {1, 0, 0, 0};
    RecordBytes generalBytes(sizeof general);
    std::memcpy(generalBytes.data(), &general, sizeof general);
    records_[MakeRecordKey(TAG_GENERALPREFS, prefsAddress)] = generalBytes;

    EDTPartScopePrefs partScope{};
    partScope.writtenPitch = 1;
    const uint16_t partScopeAddress[4] = {OTHER_PREFS_CMPER, 0, 0, 0};
    RecordBytes partScopeBytes(sizeof partScope);
    std::memcpy(partScopeBytes.data(), &partScope, sizeof partScope);
    records_[MakeRecordKey(TAG_PARTSCOPEPREFS, partScopeAddress)] = partScopeBytes;

    for (int16_t clef = 0; clef < CLEF_COUNT; ++clef) {
        const uint16_t address[4] = {static_cast<uint16_t>(clef), 0, 0, 0};
        RecordBytes bytes(sizeof(EDTClefDef));
        std::memcpy(bytes.data(), &kClefDefs[clef], sizeof(EDTClefDef));
        records_[MakeRecordKey(TAG_CLEFDEF, address)] = bytes;
    }
}

// --- Reading ---------------------------------------------------------------------

const StaffData* DocumentState::FindStaff(int16_t staff) const
{
    auto found = staves_.find(staff);
    return found == staves_.end() ? nullptr : &found->second;
}

int16_t DocumentState::StaffAtSlot(int slot) const
{
    if (slot < 1 || slot > StaffCount()) return 0;
    return slots_[static_cast<size_t>(slot - 1)];
}

int DocumentState::SlotOfStaff(int16_t staff) const
{
    auto found = slotOf_.find(staff);
    return found == slotOf_.end() ? 0 : found->second;
}

const MeasureData* DocumentState::FindMeasure(int16_t measure) const
{
    if (measure < 1 || measure > MeasureCount()) return nullptr;
    return &measures_[static_cast<size_t>(measure - 1)];
}

const CellLayers* DocumentState::FindCell(int16_t staff, int16_t measure) const
{
    auto found = cells_.find(tonaroengine::CellKey(staff, measure));
    return found == cells_.end() ? nullptr : &found->second;
}

const Layer* DocumentState::FindLayer(int16_t staff, int16_t measure, int layer) const
{
    if (layer < 0 || layer >= kLayerCount) return nullptr;
    const CellLayers* cell = FindCell(staff, measure);
    return cell ? &(*cell)[static_cast<size_t>(layer)] : nullptr;
}

const RecordBytes* DocumentState::FindRecord(const RecordKey& key) const
{
    auto found = records_.find(key);
    return found == records_.end() ? nullptr : &found->second;
}

bool DocumentState::FindEntry(uint32_t entnum, EntryLocation* where) const
{
    const uint64_t* found = entryIndex_.Find(entnum);
    if (!found) return false;
    const uint64_t key = *found;
    EntryLocation location;
    location.staff = static_cast<int16_t>(key >> 32);
    location.measure = static_cast<int16_t>((key >> 16) & 0xFFFF);
    location.layer = static_cast<int16_t>(key & 0xFFFF);
    const Layer* layer = FindLayer(location.staff, location.measure, location.layer);
    if (!layer) return false;
    for (size_t i = 0; i < layer->size(); ++i) {
        if ((*layer)[i].entnum == entnum) {
            location.index = static_cast<int>(i);
            if (where) *where = location;
            return true;
        }
    }
    return false;
}

std::array<uint8_t, STAFFSPEC_SIZE_2012> DocumentState::SpecAt(int16_t staff, int16_t measure,
                                                                int32_t position) const
{
    const StaffData* data = FindStaff(staff);
    if (!data) return {};
    std::array<uint8_t, STAFFSPEC_SIZE_2012> spec = data->spec;
    for (const StaffStyle& style : data->styles) {
        if (!Covers(style, measure, position)) continue;
        if (style.transposition) WriteAt<int16_t>(spec.data(), kTranspositionOffset, *style.transposition);
        if (style.clef) WriteAt<int16_t>(spec.data(), kClefOffset, *style.clef);
        if (style.notationStyle) WriteAt<uint16_t>(spec.data(), kNotationStyleOffset, *style.notationStyle);
    }
    return spec;
}

int16_t DocumentState::ClefAt(int16_t staff, int16_t measure, int32_t position) const
{
    return ClefOf(FindStaff(staff), measure, position);
}

int16_t DocumentState::ClefOf(const StaffData* data, int16_t measure, int32_t position)
{
    // The same answer as the clef word of SpecAt, without copying the setup:
    // the last style that covers the place and sets a clef wins.
    int16_t clef = data ? ReadAt<int16_t>(data->spec.data(), kClefOffset) : int16_t{0};
    if (data)
        for (const StaffStyle& style : data->styles)
            if (style.clef && Covers(style, measure, position)) clef = *style.clef;
    return clef >= 0 && clef < CLEF_COUNT ? clef : CLEF_TREBLE;
}

uint16_t DocumentState::MeasureKey(int16_t measure) const
{
    const MeasureData* data = FindMeasure(measure);
    return data ? ReadAt<uint16_t>(data->spec.data(), offsetof(EDTMeasureSpec, keySig)) : 0;
}

uint16_t DocumentState::CellKeySignature(int16_t staff, int16_t measure) const
{
    const StaffData* data = FindStaff(staff);
    if (data && (ReadAt<uint16_t>(data->spec.data(), kFlagsOffset) & STAFFFLAG_INDEPENDENTKEY)) {
        const uint16_t address[4] = {static_cast<uint16_t>(staff), static_cast<uint16_t>(measure), 0, 0};
        const RecordBytes* cell = FindRecord(MakeRecordKey(TAG_INDEPENDENTCELL, address));
        if (cell && cell->size() >= offsetof(EDTIndependentCell, flags) + 1 &&
            ((*cell)[offsetof(EDTIndependentCell, flags)] & INDEPENDENTCELL_HASKEY))
            return ReadAt<uint16_t>(cell->data(), 0);
    }
    return MeasureKey(measure);
}

int32_t DocumentState::MeasureDuration(int16_t staff, int16_t measure) const
{
    const MeasureData* data = FindMeasure(measure);
    if (!data) return 0;
    int32_t beats = ReadAt<int16_t>(data->spec.data(), offsetof(EDTMeasureSpec, beats));
    int32_t beatDuration = ReadAt<int16_t>(data->spec.data(), offsetof(EDTMeasureSpec, beatDuration));
    const StaffData* staffData = FindStaff(staff);
    if (staffData && (ReadAt<uint16_t>(staffData->spec.data(), kFlagsOffset) & STAFFFLAG_INDEPENDENTKEY)) {
        const uint16_t address[4] = {static_cast<uint16_t>(staff), static_cast<uint16_t>(measure), 0, 0};
        const RecordBytes* cell = FindRecord(MakeRecordKey(TAG_INDEPENDENTCELL, address));
        if (cell && cell->size() >= sizeof(EDTIndependentCell)) {
            EDTIndependentCell independent;
            std::memcpy(&independent, cell->data(), sizeof independent);
            if ((independent.flags & INDEPENDENTCELL_HASTIME) && independent.beats > 0 &&
                independent.beatDuration > 0) {
                beats = independent.beats;
                beatDuration = independent.beatDuration;
            }
        }
    }
    return beats > 0 && beatDuration > 0 ? beats * beatDuration : 0;
}

int16_t DocumentState::OctaveOffset() const
{
    const uint16_t address[4] = {1, 0, 0, 0};
    const RecordBytes* prefs = FindRecord(MakeRecordKey(TAG_GENERALPREFS, address));
    if (!prefs || prefs->size() < offsetof(EDTGeneralPrefs, octaveOffset) + 2) return 0;
    return static_cast<int16_t>(ReadAt<int16_t>(prefs->data(), offsetof(EDTGeneralPrefs, octaveOffset)) / 12);
}

bool DocumentState::ConcertPitch() const
{
    const uint16_t address[4] = {OTHER_PREFS_CMPER, 0, 0, 0};
    const RecordBytes* prefs = FindRecord(MakeRecordKey(TAG_PARTSCOPEPREFS, address));
    return prefs && prefs->size() >= 2 && ReadAt<int16_t>(prefs->data(), 0) == 0;
}

// --- Changing ----------------------------------------------------------------------

void DocumentState::PutStaff(int16_t staff, std::optional<StaffData> data)
{
    if (journal_) {
        auto [kept, first] = journal_->stavesBefore.try_emplace(staff);
        if (first)
            if (const StaffData* current = FindStaff(staff)) kept->second = *current;
    }
    SetStaffRaw(staff, data);
}

void DocumentState::PutSlots(std::vector<int16_t> slots)
{
    if (journal_ && !journal_->slotsBefore) journal_->slotsBefore = slots_;
    SetSlotsRaw(std::move(slots));
}

void DocumentState::PutMeasure(size_t index, const MeasureData& data)
{
    if (index > measures_.size()) return;
    if (index == measures_.size()) {
        measures_.push_back(data);  // the journal's measure count covers it
        return;
    }
    if (journal_ && index < journal_->measureCountBefore && !journal_->measuresBefore.count(index))
        journal_->measuresBefore[index] = measures_[index];
    measures_[index] = data;
}

void DocumentState::PutRecord(const RecordKey& key, std::optional<RecordBytes> bytes)
{
    if (journal_) {
        auto [kept, first] = journal_->recordsBefore.try_emplace(key);
        if (first)
            if (const RecordBytes* current = FindRecord(key)) kept->second = *current;
    }
    SetRecordRaw(key, bytes);
}

void DocumentState::PutLayer(int16_t staff, int16_t measure, int layer, Layer entries)
{
    if (layer < 0 || layer >= kLayerCount) return;
    const uint64_t key = LayerKey(staff, measure, layer);
    const Layer* current = FindLayer(staff, measure, layer);
    // A layer stored as it already is changes nothing: it leaves no trace in
    // the session's journal and the entry index stays as it is.
    if (current ? SameRecords(*current, entries) : entries.empty()) return;
    if (journal_) {
        auto [kept, first] = journal_->layersBefore.try_emplace(key);
        if (first && current) kept->second = *current;
    }

    // The measure's layout drifts by the change of the layer's print.
    const uint64_t before = current ? MusicPrint(key, *current) : 0;
    const uint64_t after = MusicPrint(key, entries);
    if (before != after && measure >= 1 && measure <= MeasureCount()) {
        MeasureData data = measures_[static_cast<size_t>(measure - 1)];
        data.layoutDrift += after - before;
        PutMeasure(static_cast<size_t>(measure - 1), data);
    }

    std::vector<uint32_t> leaving;
    if (current && !current->empty()) {
        const std::vector<uint32_t> staying = SortedEntryNumbers(entries);
        for (const EXENTRY& entry : *current) {
            const uint32_t entnum = entry.entnum;
            if (entnum != 0 && !std::binary_search(staying.begin(), staying.end(), entnum)) leaving.push_back(entnum);
        }
    }
    SetLayerRaw(key, std::move(entries));
    for (uint32_t entnum : leaving)
        if (!entryIndex_.Contains(entnum)) DeleteEntryDetails(entnum);
}

bool DocumentState::RespaceMeasure(int16_t measure)
{
    const MeasureData* current = FindMeasure(measure);
    if (!current || current->layoutDrift == 0) return false;
    MeasureData data = *current;
    const uint16_t flags = ReadAt<uint16_t>(data.spec.data(), offsetof(EDTMeasureSpec, flags));
    WriteAt<uint16_t>(data.spec.data(), offsetof(EDTMeasureSpec, flags), flags | MEASUREFLAG_RESPACED);
    data.layoutDrift = 0;
    PutMeasure(static_cast<size_t>(measure - 1), data);
    return true;
}

void DocumentState::TakeMusicAsLaidOut()
{
    for (MeasureData& data : measures_) data.layoutDrift = 0;
}

uint32_t DocumentState::TakeEntryNumber()
{
    while (entryIndex_.Contains(nextEntnum_) || nextEntnum_ == 0) ++nextEntnum_;
    return nextEntnum_++;
}

bool DocumentState::NormalizeLayer(int16_t staff, int16_t measure, int layer, Layer* entries)
{
    if (!entries || !FindStaff(staff) || !FindMeasure(measure) || layer < 0 || layer >= kLayerCount) return false;
    for (const EXENTRY& entry : *entries)
        if (entry.numNotes < 0 || entry.numNotes > EXENTRY_MAXNOTES || entry.duration < 0) return false;

    const uint64_t key = LayerKey(staff, measure, layer);
    const StaffData* staffData = FindStaff(staff);
    SeenNumbers seen(entries->size());
    int32_t position = 0;
    for (EXENTRY& entry : *entries) {
        uint32_t entnum = entry.entnum;
        const uint64_t* owner = entryIndex_.Find(entnum);
        const bool usedElsewhere = owner && *owner != key;
        if (entnum == 0 || seen.Contains(entnum) || usedElsewhere) entnum = TakeEntryNumber();
        entry.entnum = entnum;
        seen.Insert(entnum);
        entry.position = position;
        entry.clef = static_cast<uint16_t>(ClefOf(staffData, measure, position));
        if (!(entry.flags & EXENTRY_GRACE)) position += entry.duration;
    }
    return true;
}

bool DocumentState::StoreLayer(int16_t staff, int16_t measure, int layer, Layer* entries)
{
    if (!NormalizeLayer(staff, measure, layer, entries)) return false;
    // Stored as it already is (a frame saved without changes): nothing to do.
    const Layer* current = FindLayer(staff, measure, layer);
    if (current ? SameRecords(*current, *entries) : entries->empty()) return true;
    PutLayer(staff, measure, layer, *entries);
    return true;
}

bool DocumentState::StoreLayer(int16_t staff, int16_t measure, int layer, Layer&& entries)
{
    if (!NormalizeLayer(staff, measure, layer, &entries)) return false;
    const Layer* current = FindLayer(staff, measure, layer);
    if (current ? SameRecords(*current, entries) : entries.empty()) return true;
    PutLayer(staff, measure, layer, std::move(entries));
    return true;
}

void DocumentState::DeleteEntryDetails(uint32_t entnum)
{
    const uint16_t low = static_cast<uint16_t>(entnum & 0xFFFF);
    const uint16_t high = static_cast<uint16_t>(entnum >> 16);
    auto it = records_.lower_bound(RecordKey{0x65000000u, {}});
    while (it != records_.end() && it->first.tag < 0x66000000u) {
        const EDTAG tag = it->first.tag;
        std::vector<RecordKey> doomed;
        for (auto own = records_.lower_bound(RecordKey{tag, {low, high, 0, 0}});
             own != records_.end() && own->first.tag == tag && own->first.words[0] == low &&
             own->first.words[1] == high;
             ++own)
            doomed.push_back(own->first);
        for (const RecordKey& key : doomed) PutRecord(key, std::nullopt);
        if (tag == 0xFFFFFFFFu) break;
        it = records_.lower_bound(RecordKey{tag + 1, {}});
    }
}

void DocumentState::SetLayerRaw(uint64_t layerKey, Layer entries)
{
    const int16_t staff = static_cast<int16_t>(layerKey >> 32);
    const int16_t measure = static_cast<int16_t>((layerKey >> 16) & 0xFFFF);
    const size_t layer = static_cast<size_t>(layerKey & 0xFFFF);
    const uint32_t cellKey = tonaroengine::CellKey(staff, measure);

    // The entry index changes only for entries that leave the layer or come
    // into it: entries that stay keep their index nodes, so rewriting a layer
    // in place costs one lookup per entry and no allocation.
    auto cell = cells_.find(cellKey);
    if (cell != cells_.end() && !cell->second[layer].empty()) {
        const std::vector<uint32_t> staying = SortedEntryNumbers(entries);
        for (const EXENTRY& entry : cell->second[layer]) {
            const uint32_t entnum = entry.entnum;
            if (std::binary_search(staying.begin(), staying.end(), entnum)) continue;
            const uint64_t* owner = entryIndex_.Find(entnum);
            if (owner && *owner == layerKey) entryIndex_.Erase(entnum);
        }
    }
    for (const EXENTRY& entry : entries)
        if (entry.entnum != 0) entryIndex_.Set(entry.entnum, layerKey);

    if (entries.empty()) {
        if (cell == cells_.end()) return;
        cell->second[layer].clear();
        const bool allEmpty = std::all_of(cell->second.begin(), cell->second.end(),
                                          [](const Layer& l) { return l.empty(); });
        if (allEmpty) cells_.erase(cell);
        return;
    }
    cells_[cellKey][layer] = std::move(entries);
}

void DocumentState::SetRecordRaw(const RecordKey& key, const std::optional<RecordBytes>& bytes)
{
    if (bytes)
        records_[key] = *bytes;
    else
        records_.erase(key);
}

void DocumentState::SetStaffRaw(int16_t staff, const std::optional<StaffData>& data)
{
    if (data)
        staves_[staff] = *data;
    else
        staves_.erase(staff);
}

void DocumentState::SetSlotsRaw(std::vector<int16_t> slots)
{
    slots_ = std::move(slots);
    slotOf_.clear();
    for (size_t i = 0; i < slots_.size(); ++i) slotOf_[slots_[i]] = static_cast<int>(i + 1);
}

// --- Sessions and undo ----------------------------------------------------------------

bool DocumentState::BeginSession(const std::string& name)
{
    if (sessionDepth_ > 0) {
        ++sessionDepth_;  // a start inside a session joins it
        return true;
    }
    sessionDepth_ = 1;
    journal_ = std::make_unique<EditStep>();
    journal_->name = name;
    journal_->measureCountBefore = measures_.size();
    journal_->nextEntnumBefore = nextEntnum_;
    return true;
}

bool DocumentState::EndSession()
{
    if (sessionDepth_ <= 0 || !journal_) return false;
    if (--sessionDepth_ > 0) return true;

    EditStep& step = *journal_;
    step.measureCountAfter = measures_.size();
    step.nextEntnumAfter = nextEntnum_;
    DropUnchangedParts(&step);
    if (step.Empty()) {
        journal_.reset();  // no net change: no step, and the redo history stays
        return true;
    }
    // A new step ends the redo history; it is freed before the contents
    // after the session are copied, whose memory it can then give.
    redo_.clear();
    step.layersAfter.reserve(step.layersBefore.size());
    for (const auto& [key, before] : step.layersBefore) {
        const int16_t staff = static_cast<int16_t>(key >> 32);
        const int16_t measure = static_cast<int16_t>((key >> 16) & 0xFFFF);
        const Layer* now = FindLayer(staff, measure, static_cast<int>(key & 0xFFFF));
        step.layersAfter[key] = now ? *now : Layer();
    }
    for (const auto& [key, before] : step.recordsBefore) {
        const RecordBytes* now = FindRecord(key);
        step.recordsAfter[key] = now ? std::optional<RecordBytes>(*now) : std::nullopt;
    }
    for (const auto& [staff, before] : step.stavesBefore) {
        const StaffData* now = FindStaff(staff);
        step.stavesAfter[staff] = now ? std::optional<StaffData>(*now) : std::nullopt;
    }
    if (step.slotsBefore) step.slotsAfter = slots_;
    for (const auto& [index, before] : step.measuresBefore)
        if (index < measures_.size()) step.measuresAfter[index] = measures_[index];
    for (size_t index = step.measureCountBefore; index < measures_.size(); ++index)
        step.measuresAfter[index] = measures_[index];

    undo_.push_back(std::move(step));
    journal_.reset();
    return true;
}

void DocumentState::DropUnchangedParts(EditStep* step) const
{
    std::erase_if(step->layersBefore, [this](const auto& part) {
        const uint64_t key = part.first;
        return SameLayer(part.second, FindLayer(static_cast<int16_t>(key >> 32),
                                                static_cast<int16_t>((key >> 16) & 0xFFFF),
                                                static_cast<int>(key & 0xFFFF)));
    });
    std::erase_if(step->recordsBefore,
                  [this](const auto& part) { return SameRecord(part.second, FindRecord(part.first)); });
    std::erase_if(step->stavesBefore,
                  [this](const auto& part) { return SameStaff(part.second, FindStaff(part.first)); });
    if (step->slotsBefore && *step->slotsBefore == slots_) step->slotsBefore.reset();
    // A measure's layout drift counts too: undo must give it back with the
    // music, or the measure would later be respaced for nothing.
    std::erase_if(step->measuresBefore, [this](const auto& part) {
        return part.first < measures_.size() && part.second.spec == measures_[part.first].spec &&
               part.second.layoutDrift == measures_[part.first].layoutDrift;
    });
}

void DocumentState::CancelSession()
{
    if (sessionDepth_ <= 0 || !journal_) return;
    const std::string name = journal_->name;
    std::unique_ptr<EditStep> step = std::move(journal_);
    Apply(true, *step);
    if (--sessionDepth_ > 0) {
        // The outer levels go on recording from here.
        journal_ = std::make_unique<EditStep>();
        journal_->name = name;
        journal_->measureCountBefore = measures_.size();
        journal_->nextEntnumBefore = nextEntnum_;
    }
}

void DocumentState::Apply(bool before, const EditStep& step)
{
    const auto& layers = before ? step.layersBefore : step.layersAfter;
    for (const auto& [key, entries] : layers) SetLayerRaw(key, entries);
    const auto& records = before ? step.recordsBefore : step.recordsAfter;
    for (const auto& [key, bytes] : records) SetRecordRaw(key, bytes);
    const auto& staves = before ? step.stavesBefore : step.stavesAfter;
    for (const auto& [staff, data] : staves) SetStaffRaw(staff, data);
    const auto& slots = before ? step.slotsBefore : step.slotsAfter;
    if (slots) SetSlotsRaw(*slots);
    measures_.resize(before ? step.measureCountBefore : step.measureCountAfter);
    const auto& measures = before ? step.measuresBefore : step.measuresAfter;
    for (const auto& [index, data] : measures)
        if (index < measures_.size()) measures_[index] = data;
    nextEntnum_ = before ? step.nextEntnumBefore : step.nextEntnumAfter;

    // A selection that reaches beyond the restored score is dropped.
    if (selection && (selection->endSlot > StaffCount() || selection->endMeas > MeasureCount())) selection.reset();
}

bool DocumentState::Undo()
{
    if (InSession() || undo_.empty()) return false;
    EditStep step = std::move(undo_.back());
    undo_.pop_back();
    Apply(true, step);
    redo_.push_back(std::move(step));
    return true;
}

bool DocumentState::Redo()
{
    if (InSession() || redo_.empty()) return false;
    EditStep step = std::move(redo_.back());
    redo_.pop_back();
    Apply(false, step);
    undo_.push_back(std::move(step));
    return true;
}

std::vector<LayerChange> DocumentState::ChangedLayersSince(int firstStep) const
{
    std::vector<LayerChange> changes;
    std::unordered_map<uint64_t, size_t> seen;
    for (size_t step = static_cast<size_t>(std::max(firstStep, 0)); step < undo_.size(); ++step) {
        for (const auto& [key, before] : undo_[step].layersBefore) {
            if (!seen.try_emplace(key, changes.size()).second) continue;  // an earlier step has it
            LayerChange change;
            change.staff = static_cast<int16_t>(key >> 32);
            change.measure = static_cast<int16_t>((key >> 16) & 0xFFFF);
            change.layer = static_cast<int>(key & 0xFFFF);
            change.before = before;
            if (const Layer* now = FindLayer(change.staff, change.measure, change.layer)) change.after = *now;
            changes.push_back(std::move(change));
        }
    }
    std::sort(changes.begin(), changes.end(), [](const LayerChange& a, const LayerChange& b) {
        return std::tie(a.staff, a.measure, a.layer) < std::tie(b.staff, b.measure, b.layer);
    });
    return changes;
}

std::vector<PitchChange> DocumentState::UndoStepPitchChanges() const
{
    std::vector<PitchChange> changes;
    if (undo_.empty()) return changes;
    const EditStep& step = undo_.back();
    for (const auto& [key, before] : step.layersBefore) {
        auto after = step.layersAfter.find(key);
        if (after == step.layersAfter.end()) continue;
        std::unordered_map<uint32_t, const EXENTRY*> old;
        for (const EXENTRY& entry : before)
            if (const uint32_t entnum = entry.entnum; entnum != 0) old.emplace(entnum, &entry);
        for (const EXENTRY& entry : after->second) {
            const uint32_t entnum = entry.entnum;
            auto found = old.find(entnum);
            if (found == old.end() || (entry.flags & EXENTRY_NOTE) == 0) continue;
            const EXENTRY& was = *found->second;
            const int count = std::clamp<int>(std::min<int>(entry.numNotes, was.numNotes), 0, EXENTRY_MAXNOTES);
            for (int n = 0; n < count; ++n) {
                const EXNOTE& a = was.notes[n];
                const EXNOTE& b = entry.notes[n];
                if (a.displacement == b.displacement && a.raiselower == b.raiselower) continue;
                changes.push_back({static_cast<int16_t>(key >> 32), static_cast<int16_t>((key >> 16) & 0xFFFF),
                                   static_cast<int>(key & 0xFFFF), entnum, n, a.displacement, a.raiselower,
                                   b.displacement, b.raiselower});
            }
        }
    }
    // The layers are kept in a hash map: give the changes a fixed order.
    std::sort(changes.begin(), changes.end(), [](const PitchChange& x, const PitchChange& y) {
        return std::tie(x.staff, x.measure, x.layer, x.entry, x.note) <
               std::tie(y.staff, y.measure, y.layer, y.entry, y.note);
    });
    return changes;
}

std::vector<uint8_t> DocumentState::Snapshot() const
{
    std::vector<uint8_t> out;
    Append(&out, static_cast<uint64_t>(slots_.size()));
    for (int16_t staff : slots_) Append(&out, staff);

    std::vector<int16_t> staffNumbers;
    for (const auto& [staff, data] : staves_) staffNumbers.push_back(staff);
    std::sort(staffNumbers.begin(), staffNumbers.end());
    for (int16_t staff : staffNumbers) {
        const StaffData& data = staves_.at(staff);
        Append(&out, staff);
        AppendBytes(&out, data.spec.data(), data.spec.size());
        Append(&out, static_cast<uint64_t>(data.styles.size()));
        for (const StaffStyle& style : data.styles) {
            Append(&out, style.startMeasure);
            Append(&out, style.startPosition);
            Append(&out, style.endMeasure);
            Append(&out, style.endPosition);
            Append(&out, static_cast<int32_t>(style.transposition ? *style.transposition : 0x10000));
            Append(&out, static_cast<int32_t>(style.clef ? *style.clef : 0x10000));
            Append(&out, static_cast<int32_t>(style.notationStyle ? *style.notationStyle : 0x10000));
        }
    }

    Append(&out, static_cast<uint64_t>(measures_.size()));
    for (const MeasureData& measure : measures_) out.insert(out.end(), measure.spec.begin(), measure.spec.end());

    std::vector<uint32_t> cellKeys;
    for (const auto& [key, layers] : cells_) cellKeys.push_back(key);
    std::sort(cellKeys.begin(), cellKeys.end());
    for (uint32_t key : cellKeys) {
        const CellLayers& layers = cells_.at(key);
        for (size_t layer = 0; layer < layers.size(); ++layer) {
            if (layers[layer].empty()) continue;
            Append(&out, key);
            Append(&out, static_cast<uint8_t>(layer));
            AppendBytes(&out, reinterpret_cast<const uint8_t*>(layers[layer].data()),
                        layers[layer].size() * sizeof(EXENTRY));
        }
    }

    for (const auto& [key, bytes] : records_) {
        Append(&out, key.tag);
        for (uint16_t word : key.words) Append(&out, word);
        AppendBytes(&out, bytes.data(), bytes.size());
    }
    Append(&out, nextEntnum_);
    return out;
}

}  // namespace tonaroengine
