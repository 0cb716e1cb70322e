#include "tonaroframework/data/fcmeasure.h"

#include <cstddef>
#include <cstring>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/hostapi/recordtags.h"

static_assert(offsetof(EDTMeasureSpec, keySig) + sizeof(uint16_t) <= MEASURESPEC_SIZE_V10,
              "the key word lies inside both layouts");

FCMeasure::FCMeasure()
{
    _UseAllocatedBlock();
}

FCMeasure::~FCMeasure()
{
    delete _key;
}

void* FCMeasure::Allocate()
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2012 ? &_spec2012 : &_spec2010;
}

EDTAG FCMeasure::Tag() const
{
    return TAG_MEASURESPEC;
}

uint32_t FCMeasure::DataSizeLoad() const
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2012 ? MEASURESPEC_SIZE_2012 : MEASURESPEC_SIZE_V10;
}

uint32_t FCMeasure::_VersionToUse() const
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2012 ? FXT_VERSION_2012 : 0x0A000000u;
}

EDTMeasureSpec* FCMeasure::_Spec() const
{
    return static_cast<EDTMeasureSpec*>(_GetDataBlock());
}

void FCMeasure::_SyncKey()
{
    if (_key) _key->SetID(GetKeySignatureID());
}

void FCMeasure::CloneMemoryFrom(const __FCBaseData* source)
{
    __FCNoInciOther::CloneMemoryFrom(source);
    _SyncKey();
}

bool FCMeasure::Save()
{
    if (_key && _Spec()) _Spec()->keySig = _key->GetID();
    return __FCNoInciOther::Save();
}

bool FCMeasure::Reload()
{
    const bool loaded = __FCNoInciOther::Reload();
    _SyncKey();
    return loaded;
}

bool FCMeasure::LoadNext()
{
    const bool loaded = __FCNoInciOther::LoadNext();
    _SyncKey();
    return loaded;
}

bool FCMeasure::Load(uint16_t measure)
{
    const bool loaded = __FCNoInciOther::Load(measure);
    _SyncKey();
    return loaded;
}

FCKeySignature* FCMeasure::GetKeySignature()
{
    if (!_key) _key = new FCKeySignature(GetKeySignatureID());
    return _key;
}

uint16_t FCMeasure::GetKeySignatureID() const
{
    return _Spec() ? _Spec()->keySig : 0;
}

int16_t FCMeasure::GetBeats() const
{
    return _Spec() ? _Spec()->beats : 0;
}

int16_t FCMeasure::GetBeatDuration() const
{
    return _Spec() ? _Spec()->beatDuration : 0;
}

int16_t FCMeasure::GetWidth() const
{
    return _Spec() ? _Spec()->width : 0;
}

void FCMeasure::SetWidth(int16_t width)
{
    if (_Spec()) _Spec()->width = width;
}
