#include "tonaroframework/data/fctimesignature.h"

bool FCTimeSignature::IsIdentical(const __FCBase* other) const
{
    const auto* time = dynamic_cast<const FCTimeSignature*>(other);
    return time && time->_data.beats == _data.beats && time->_data.beatDuration == _data.beatDuration;
}

void FCTimeSignature::CloneMemoryFrom(const __FCBaseData* source)
{
    const auto* time = dynamic_cast<const FCTimeSignature*>(source);
    if (!time || time == this) return;
    _data = time->_data;
    _SetLoadedSize(time->GetLoadedSize());
    _UseAllocatedBlock();
}

int32_t FCTimeSignature::CalcMeasureDuration() const
{
    if (_data.beats <= 0 || _data.beatDuration <= 0) return 0;
    return static_cast<int32_t>(_data.beats) * _data.beatDuration;
}
