#include "tonaroframework/data/fccell.h"

#include "tonaroframework/data/fccurrentstaffspec.h"
#include "tonaroframework/data/fcindependentcelldetail.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fcmeasure.h"
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

FCKeySignature* FCCell::GetKeySignature()
{
    if (_key) return _key;
    _key = new FCKeySignature();

    // A cell key of its own counts only where the staff in force at the
    // measure's start allows independent keys.
    FCCurrentStaffSpec staff;
    if (staff.LoadForCell(this, 0) && staff.HasIndependentKey()) {
        FCIndependentCellDetail detail;
        detail.ConnectCell(this);
        if (detail.LoadFirst() && detail.HasKeySignature()) {
            _key->SetID(detail.GetKeySignatureID());
            return _key;
        }
    }
    FCMeasure measure;
    if (_measure >= 1 && _measure <= 0xFFFF && measure.Load(static_cast<uint16_t>(_measure)))
        _key->SetID(measure.GetKeySignatureID());
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
