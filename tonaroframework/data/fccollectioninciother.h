// A collection of the incis of one cmper of an inci'd other record.
#pragma once

#include "tonaroframework/data/fccollectiondata.h"
#include "tonaroframework/data/fcinciother.h"

class __FCCollectionInciOther : public __FCCollectionData {
public:
    // Virtual operations appended after SaveAll, in this order:
    // DeleteDataForItem, LoadAllForItem, SaveAllForItem, FindItemNo.
    const char* ClassName() const override { return "__FCCollectionInciOther"; }

    __FCInciOther* CreateElement() override = 0;

    // Deletes every record of cmper from the document (highest inci first).
    // true when all deletes succeeded; a cmper without records is true.
    virtual bool DeleteDataForItem(uint16_t cmper);
    // Replaces the elements with clones of incis 0, 1, ... of cmper until
    // one does not load. Answers the count.
    virtual int LoadAllForItem(uint16_t cmper);
    // Replaces the document's records of cmper with the elements, in order
    // (the host assigns incis 0, 1, ...), all or nothing: false, with the
    // stored records and the elements' addresses as they were, when an
    // element was never loaded or the host refuses one.
    virtual bool SaveAllForItem(uint16_t cmper);
    // The element with that address, or null.
    virtual __FCInciOther* FindItemNo(uint16_t cmper, int16_t inci);

    // Copies the document's records of cmper `from` over those of cmper
    // `to`, inci by inci, and deletes `to`'s surplus records. false when
    // `from` has no records or a load, save or delete fails.
    bool SaveDataAs(uint16_t from, uint16_t to);

    __FCInciOther* GetItemAt(int index) const;

private:
    // Number of consecutive incis from 0 of cmper that load.
    int _CountIncis(__FCInciOther* scratch, uint16_t cmper);
};
