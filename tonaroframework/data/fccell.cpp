#include "tonaroframework/data/fccell.h"

#include "tonaroframework/data/fccurrentstaffspec.h"
#include "tonaroframework/data/fcindependentcelldetail.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fcmeasure.h"
#include "tonaroframework/data/fcrecordcache.h"
#include "tonaroframework/data/fctimesignature.h"

FCCell::~FCCell()
{
    delete _key;
    delete _time;
}

bool FCCell::IsIdentical(const __FCBase* other) const
{
    const auto* cell = dynamic_cast<const FCCell*>(other);
    return cell && cell->_measure == _measure && cell->_staff == _staff;
}

namespace {

// The key ID in force in a cell, read from the host.
uint16_t LoadCellKeyID(FCCell* cell)
{
    // A cell key of its own counts only where the staff in force at the
    // measure's start allows independent keys.
    FCCurrentStaffSpec staff;
    if (staff.LoadForCell(cell, 0) && staff.HasIndependentKey()) {
        FCIndependentCellDetail detail;
        detail.ConnectCell(cell);
        if (detail.LoadFirst() && detail.HasKeySignature()) return detail.GetKeySignatureID();
    }
    const int number = cell->GetMeasure();
    uint16_t id = 0;
    if (FCRecordCache::FindMeasureKey(number, &id)) return id;
    FCMeasure measure;
    if (number >= 1 && number <= 0xFFFF && measure.Load(static_cast<uint16_t>(number)))
        id = measure.GetKeySignatureID();
    FCRecordCache::KeepMeasureKey(number, id);
    return id;
}

}  // namespace

FCKeySignature* FCCell::GetKeySignature()
{
    if (_key) return _key;
    _key = new FCKeySignature();
    // During a walk the key of the cell being walked is read once for all
    // the cell objects that ask for it (one per note spelled).
    uint16_t id = 0;
    if (!FCRecordCache::FindCellKey(_measure, _staff, &id)) {
        id = LoadCellKeyID(this);
        FCRecordCache::KeepCellKey(_measure, _staff, id);
    }
    _key->SetID(id);
    return _key;
}

FCTimeSignature* FCCell::GetTimeSignature()
{
    if (_time) return _time;
    _time = new FCTimeSignature();

    FCCurrentStaffSpec staff;
    if (staff.LoadForCell(this, 0) && staff.HasIndependentKey()) {
        FCIndependentCellDetail detail;
        detail.ConnectCell(this);
        if (detail.LoadFirst() && detail.HasTimeSignature()) {
            _time->SetBeats(detail.GetBeats());
            _time->SetBeatDuration(detail.GetBeatDuration());
            return _time;
        }
    }
    FCMeasure measure;
    if (_measure >= 1 && _measure <= 0xFFFF && measure.Load(static_cast<uint16_t>(_measure))) {
        _time->SetBeats(measure.GetBeats());
        _time->SetBeatDuration(measure.GetBeatDuration());
    }
    return _time;
}
