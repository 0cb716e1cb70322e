// The generic host record.
//
// The host keeps a score as a store of fixed-layout records, each named by a
// 32-bit tag and an address block of four 16-bit words. A class derived from
// __FCBaseData knows its tag, which layout (size and version word) of the
// host structure to use on the running host, where the structure lives and
// how its address is formed; this class runs the load, save, create, delete
// and walk protocol through FX_LoadEData, FX_SaveEData, FX_CreateEData,
// FX_DeleteEData and FX_NextEData.
//
// State: a record starts empty (address zero, loaded size 0). The loaded size
// is the byte count of the last successful load (or create); 0 means "not
// loaded", and Save() refuses such a record. A failed load leaves the record
// not loaded.
//
// Ownership: most records keep their host structure inside the object
// (Allocate() answers it). Records of dynamic size (IsDynamicSize() true)
// answer a block from std::malloc in Allocate(); from then on this base owns
// the block and frees it with std::free (Deallocate(), ClearData(), the next
// load, destruction). Clones and objects from Create... calls belong to the
// caller.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcbase.h"
#include "tonaropdk/hostapi/fxtypes.h"

class __FCBaseData : public __FCBase {
public:
    __FCBaseData() = default;
    // A record's data block may point into the object itself: no copies.
    __FCBaseData(const __FCBaseData&) = delete;
    __FCBaseData& operator=(const __FCBaseData&) = delete;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), Allocate, Deallocate, IsDynamicSize, CreateObject, Tag,
    // VeltraVersion, DataSizeLoad, DataSizeSave, CloneMemoryFrom, Save,
    // Reload, DeleteData, DeepDeleteData, LoadFirst, LoadNext.
    const char* ClassName() const override { return "__FCBaseData"; }
    // Frees a heap block made by CloneMemoryFrom for a dynamic-size record.
    ~__FCBaseData() override;

    // The buffer that loads fill: for fixed-layout records the structure
    // inside the object that the running host version selects (never null);
    // dynamic-size records answer a std::malloc block of DataSizeLoad()
    // bytes, which the base then owns (null when allocation failed).
    virtual void* Allocate() = 0;
    // Frees the heap block of a dynamic-size record and sets the data block
    // to null and the loaded size to 0. Nothing for fixed-layout records.
    // Overrides must call this base.
    virtual void Deallocate();
    // true for records whose block is allocated to the loaded size.
    virtual bool IsDynamicSize() const;
    // A new, empty object of the same class, owned by the caller.
    virtual __FCBaseData* CreateObject() const = 0;
    // The record tag.
    virtual EDTAG Tag() const = 0;
    // The version word of the structure in use (base: 0x12000000).
    virtual uint32_t VeltraVersion() const;
    // The capacity offered to a load, in bytes.
    virtual uint32_t DataSizeLoad() const = 0;
    // The size handed to saves and creates (base: the loaded size).
    virtual uint32_t DataSizeSave() const;
    // Copies the source's structure into this record and takes its loaded
    // size; nothing when the source is null or not loaded. Fixed-layout
    // records copy into their own structure (at most DataSizeLoad() bytes);
    // dynamic-size records take a heap block of the source's size.
    virtual void CloneMemoryFrom(const __FCBaseData* source);
    // true when the host stored the record. false without a host call when
    // the record is not loaded.
    virtual bool Save();
    // Repeats the last load; false for a record never loaded.
    virtual bool Reload();
    // Removes the record at the current address from the document.
    virtual bool DeleteData();
    // Removes the record and whatever the host keeps only for it (base: as
    // DeleteData).
    virtual bool DeepDeleteData();
    // Loads the first record of the family's walk.
    virtual bool LoadFirst() = 0;
    // Moves to the next record of the same tag and loads it. false at the
    // last record, leaving data and loaded size as they were.
    virtual bool LoadNext();

    // Loads the record at the current address; true when the host found it.
    // On failure the loaded size becomes 0.
    bool LoadDataBlock();
    // Copies address block and collection context of source, then its
    // structure (CloneMemoryFrom). Nothing for null.
    void CloneFrom(const __FCBaseData* source);
    // A new object of the same class with the same address, context and
    // structure, owned by the caller.
    __FCBaseData* CreateClone() const;
    // Deallocate(), then data block null and loaded size 0.
    void ClearData();

    // Byte count of the last successful load or create; 0: not loaded.
    uint32_t GetLoadedSize() const { return _loadedSize; }
    // The value a data collection gives every record it loads or saves; the
    // record itself does not interpret it.
    int32_t GetCollectionContext() const { return _collectionContext; }
    void SetCollectionContext(int32_t context) { _collectionContext = context; }

    // The structure that loads fill and saves send (null before the first
    // load of a dynamic-size record). Borrowed; lives as long as the record
    // (and, for dynamic-size records, until the next load or Deallocate).
    void* _GetDataBlock() const { return _dataBlock; }
    // The four address words handed to the host.
    const EDataAddress& _GetAddress() const { return _address; }
    uint16_t _GetAddressWord(int index) const;
    // Copies another record's address block (for collections and clones).
    void _SetAddress(const EDataAddress& address) { _address = address; }

    // Whether the running host uses the 2012-era conventions (version word
    // 0x11000000 or above).
    static bool Use2012Version();
    bool _Use2012Version() const { return Use2012Version(); }

protected:
    void _SetAddressWord(int index, uint16_t value);
    // 32-bit address value in two words (low half in word `index`).
    uint32_t _GetAddressLong(int index) const;
    void _SetAddressLong(int index, uint32_t value);
    void _SetLoadedSize(uint32_t size) { _loadedSize = size; }
    // Points the data block at the structure Allocate() answers.
    void _UseAllocatedBlock() { _dataBlock = Allocate(); }

private:
    int32_t _collectionContext = 0;
    void* _dataBlock = nullptr;
    uint32_t _loadedSize = 0;
    EDataAddress _address{};
    // The data block is a heap block that this base owns and must free.
    bool _ownsHeapBlock = false;
};
