#include "tonaroframework/music/fcmusicregion.h"

#include <cstring>
#include <utility>

#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fccells.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// Slots are 16-bit; the search for the last slot of a list stops there.
constexpr int LAST_POSSIBLE_SLOT = 0x7FFF;

int16_t CurrentDocument()
{
    return FX_GetCurrentVeltraDocument(FXT_VERSION_2012);
}

int16_t StaffAt(int slot, uint16_t list)
{
    if (slot < 1 || slot > LAST_POSSIBLE_SLOT) return 0;
    return FX_SlotToInst(static_cast<uint16_t>(slot), list, FXT_VERSION_2012);
}

}  // namespace

FCMusicRegion::FCMusicRegion(const EREGION* region)
{
    if (region != nullptr) {
        _region = *region;
        _document = CurrentDocument();
    }
}

FCMusicRegion::~FCMusicRegion() = default;

bool FCMusicRegion::IsIdentical(const __FCBase* other) const
{
    if (!__FCBase::IsIdentical(other)) return false;
    const auto* region = static_cast<const FCMusicRegion*>(other);
    return std::memcmp(&_region, &region->_region, sizeof(EREGION)) == 0 && _document == region->_document;
}

bool FCMusicRegion::SetCurrentSelection()
{
    EREGIONINFO info{};
    EREGION selection{};
    EREGION whole{};
    const bool selected = FX_GetCurERegions(&info, &selection, &whole, FXT_VERSION_2012) != 0;
    // Without a selection the region holds the empty selection, never the
    // one it held before.
    _region = selected ? selection : EREGION{};
    _document = CurrentDocument();
    return selected;
}

bool FCMusicRegion::SetFullDocument()
{
    EREGIONINFO info{};
    EREGION selection{};
    EREGION whole{};
    FX_GetCurERegions(&info, &selection, &whole, FXT_VERSION_2012);
    _region = whole;
    _document = CurrentDocument();
    return true;
}

bool FCMusicRegion::SetVeltraRegion(const EREGION* region)
{
    if (region == nullptr) return false;
    _region = *region;
    _document = CurrentDocument();
    return true;
}

bool FCMusicRegion::GetVeltraRegion(EREGION* region) const
{
    if (region == nullptr) return false;
    *region = _region;
    return true;
}

bool FCMusicRegion::SetRegion(const FCMusicRegion* other)
{
    if (other == nullptr) return false;
    _region = other->_region;
    _document = other->_document;
    return true;
}

bool FCMusicRegion::SetInDocument()
{
    if (!IsCurrentDocument()) return false;
    return FX_SetCurERegionMac(&_region, FXT_VERSION_2012) != 0;
}

bool FCMusicRegion::SetFullMeasureStack()
{
    if (IsEmpty()) return false;
    const uint16_t list = _region.startInstList;
    if (StaffAt(1, list) == 0) return false;
    int last = 1;
    while (last < LAST_POSSIBLE_SLOT && StaffAt(last + 1, list) != 0) ++last;
    _region.startSlot = 1;
    _region.endSlot = static_cast<int16_t>(last);
    _region.endInstList = list;
    return true;
}

void FCMusicRegion::AssureSortedStaves()
{
    if (_region.startSlot <= _region.endSlot) return;
    std::swap(_region.startSlot, _region.endSlot);
    std::swap(_region.startInstList, _region.endInstList);
}

void FCMusicRegion::ConvertToGlobalInstrumentList()
{
    const int16_t startStaff = StaffAt(_region.startSlot, _region.startInstList);
    const int16_t endStaff = StaffAt(_region.endSlot, _region.endInstList);
    _region.startInstList = 0;
    _region.endInstList = 0;
    _region.startSlot = FX_InstToSlot(static_cast<uint16_t>(startStaff), 0, FXT_VERSION_2012);
    _region.endSlot = FX_InstToSlot(static_cast<uint16_t>(endStaff), 0, FXT_VERSION_2012);
}

int16_t FCMusicRegion::CalcStartStaff() const
{
    return StaffAt(_region.startSlot, _region.startInstList);
}

int16_t FCMusicRegion::CalcEndStaff() const
{
    return StaffAt(_region.endSlot, _region.startInstList);
}

bool FCMusicRegion::IsMeasureIncluded(int16_t measure) const
{
    return _region.startMeas <= measure && measure <= _region.endMeas;
}

bool FCMusicRegion::IsSlotIncluded(int16_t slot) const
{
    return slot >= 1 && _region.startSlot <= slot && slot <= _region.endSlot;
}

bool FCMusicRegion::IsStaffIncluded(int16_t staff) const
{
    return IsSlotIncluded(FX_InstToSlot(static_cast<uint16_t>(staff), _region.startInstList, FXT_VERSION_2012));
}

bool FCMusicRegion::IsMeasurePosWithin(int measure, int32_t pos) const
{
    if (measure < _region.startMeas || measure > _region.endMeas) return false;
    if (measure == _region.startMeas && pos < _region.startPos) return false;
    if (measure == _region.endMeas && pos > _region.endPos) return false;
    return true;
}

bool FCMusicRegion::IsCellPosWithin(const FCCell* cell, int32_t pos) const
{
    if (cell == nullptr) return false;
    return IsMeasurePosWithin(cell->GetMeasure(), pos) && IsStaffIncluded(static_cast<int16_t>(cell->GetStaff()));
}

bool FCMusicRegion::IsEntryPosWithin(const FCNoteEntry* entry) const
{
    if (entry == nullptr || entry->_GetEXENTRY() == nullptr) return false;
    return IsMeasurePosWithin(entry->GetMeasure(), entry->GetMeasurePos()) && IsStaffIncluded(entry->GetStaff());
}

bool FCMusicRegion::IsFullMeasureIncluded(int16_t measure) const
{
    return IsMeasurePosWithin(measure, 0) && IsMeasurePosWithin(measure, EREGION_ENDOFMEASURE);
}

bool FCMusicRegion::IsStartPos(int measure, int32_t pos) const
{
    return measure == _region.startMeas && pos == _region.startPos;
}

bool FCMusicRegion::IsPartial() const
{
    return !IsEmpty() && (_region.startPos != 0 || _region.endPos != EREGION_ENDOFMEASURE);
}

bool FCMusicRegion::IsCurrentDocument() const
{
    return _document == CurrentDocument();
}

int32_t FCMusicRegion::CalcDuration() const
{
    if (IsEmpty()) return 0;
    const int16_t staff = CalcStartStaff();
    int64_t total = 0;
    for (int measure = _region.startMeas; measure <= _region.endMeas; ++measure) {
        const int64_t first = measure == _region.startMeas ? _region.startPos : 0;
        int64_t last = 0;
        if (measure == _region.endMeas && _region.endPos != EREGION_ENDOFMEASURE) {
            last = _region.endPos;
        } else {
            last = static_cast<int64_t>(FX_GetMeasureDuration(staff, static_cast<int16_t>(measure),
                                                              FXT_VERSION_2012)) - 1;
        }
        total += last - first + 1;
    }
    if (total > INT32_MAX) return INT32_MAX;
    if (total < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(total);
}

bool FCMusicRegion::Redraw() const
{
    return FX_RedrawMusic(&_region, FXT_VERSION_2012) != 0;
}

FCCells* FCMusicRegion::CreateCells() const
{
    auto* cells = new FCCells();
    if (IsEmpty()) return cells;
    for (int measure = _region.startMeas; measure <= _region.endMeas; ++measure) {
        for (int slot = _region.startSlot; slot <= _region.endSlot; ++slot) {
            cells->Add(new FCCell(measure, StaffAt(slot, _region.startInstList)));
        }
    }
    return cells;
}
