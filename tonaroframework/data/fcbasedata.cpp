#include "tonaroframework/data/fcbasedata.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/hostapi/fxfunctions.h"

__FCBaseData::~__FCBaseData()
{
    if (_ownsHeapBlock) std::free(_dataBlock);
}

void __FCBaseData::Deallocate()
{
    if (!_ownsHeapBlock) return;
    std::free(_dataBlock);
    _dataBlock = nullptr;
    _ownsHeapBlock = false;
    _loadedSize = 0;
}

bool __FCBaseData::IsDynamicSize() const
{
    return false;
}

uint32_t __FCBaseData::VeltraVersion() const
{
    return FXT_VERSION_2012;
}

uint32_t __FCBaseData::DataSizeSave() const
{
    return _loadedSize;
}

void __FCBaseData::CloneMemoryFrom(const __FCBaseData* source)
{
    if (!source || source == this || source->_loadedSize == 0 || !source->_dataBlock) return;
    const uint32_t size = source->_loadedSize;
    if (IsDynamicSize()) {
        Deallocate();
        void* block = std::malloc(size);
        if (!block) return;
        std::memcpy(block, source->_dataBlock, size);
        _dataBlock = block;
        _ownsHeapBlock = true;
        _loadedSize = size;
        return;
    }
    void* block = Allocate();
    if (!block) return;
    const uint32_t n = std::min(size, DataSizeLoad());
    std::memmove(block, source->_dataBlock, n);
    _dataBlock = block;
    _loadedSize = n;
}

bool __FCBaseData::Save()
{
    if (_loadedSize == 0 || !_dataBlock) return false;
    return FX_SaveEData(Tag(), &_address, _dataBlock, DataSizeSave(), VeltraVersion()) != 0;
}

bool __FCBaseData::Reload()
{
    if (_loadedSize == 0) return false;
    return LoadDataBlock();
}

bool __FCBaseData::DeleteData()
{
    return FX_DeleteEData(Tag(), &_address, VeltraVersion()) != 0;
}

bool __FCBaseData::DeepDeleteData()
{
    return DeleteData();
}

bool __FCBaseData::LoadNext()
{
    // The host rewrites the address only when it finds a next record; a
    // copy keeps the current address intact otherwise.
    EDataAddress next = _address;
    if (FX_NextEData(Tag(), &next, nullptr, 0, VeltraVersion()) == 0) return false;
    const EDataAddress previous = _address;
    _address = next;
    if (LoadDataBlock()) return true;
    _address = previous;
    return false;
}

bool __FCBaseData::LoadDataBlock()
{
    const bool dynamic = IsDynamicSize();
    if (_dataBlock && dynamic) {
        Deallocate();
        __FCBaseData::Deallocate();  // in case an override did not reach the base
        _dataBlock = nullptr;
        _loadedSize = 0;
    }
    // Fixed-layout records always take the structure that the running
    // version selects now.
    if (!_dataBlock || !dynamic) {
        _dataBlock = Allocate();
        _ownsHeapBlock = dynamic && _dataBlock;
    }
    if (!_dataBlock) {
        _loadedSize = 0;
        return false;
    }
    uint32_t capacity = DataSizeLoad();
    const bool loaded = FX_LoadEData(Tag(), &_address, _dataBlock, &capacity, VeltraVersion()) != 0;
    _loadedSize = loaded ? capacity : 0;
    return loaded;
}

void __FCBaseData::CloneFrom(const __FCBaseData* source)
{
    if (!source || source == this) return;
    _address = source->_address;
    _collectionContext = source->_collectionContext;
    CloneMemoryFrom(source);
}

__FCBaseData* __FCBaseData::CreateClone() const
{
    __FCBaseData* clone = CreateObject();
    if (!clone) return nullptr;
    clone->CloneFrom(this);
    return clone;
}

void __FCBaseData::ClearData()
{
    Deallocate();
    __FCBaseData::Deallocate();  // in case an override did not reach the base
    _dataBlock = nullptr;
    _loadedSize = 0;
}

uint16_t __FCBaseData::_GetAddressWord(int index) const
{
    if (index < 0 || index > 3) return 0;
    return _address.words[index];
}

void __FCBaseData::_SetAddressWord(int index, uint16_t value)
{
    if (index < 0 || index > 3) return;
    _address.words[index] = value;
}

uint32_t __FCBaseData::_GetAddressLong(int index) const
{
    if (index < 0 || index > 2) return 0;
    return static_cast<uint32_t>(_address.words[index]) | (static_cast<uint32_t>(_address.words[index + 1]) << 16);
}

void __FCBaseData::_SetAddressLong(int index, uint32_t value)
{
    if (index < 0 || index > 2) return;
    _address.words[index] = static_cast<uint16_t>(value & 0xFFFFu);
    _address.words[index + 1] = static_cast<uint16_t>(value >> 16);
}

bool __FCBaseData::Use2012Version()
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2011;
}
