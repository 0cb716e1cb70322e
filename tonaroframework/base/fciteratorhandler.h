// The visitor that every walk over a collection or over host data takes.
//
// Subclass it, override the calls you need and hand it to ForEach,
// ForEachIndex, FindFirst, Sort or a browser. A call that is not overridden
// gives the default answer documented beside it.
#pragma once

#include "tonaroframework/base/fcbase.h"

class FCIteratorHandler : public __FCBase {
public:
    FCIteratorHandler() = default;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), Iterate, SecondPassIterate, IterateIndex, Match, Compare,
    // PreProcess, PreProcessIfExist, PostProcess, PostProcessIfExist.
    const char* ClassName() const override { return "FCIteratorHandler"; }
    ~FCIteratorHandler() override;

    // Called for each visited (non-null) element; the element stays owned by
    // its container. true: go on; false: stop the walk. Default true.
    virtual bool Iterate(__FCBase* object);

    // Called in the note-entry browser's second pass; false stops that pass.
    // Default false.
    virtual bool SecondPassIterate(__FCBase* object);

    // As Iterate, with the element's index in its collection. Default true.
    virtual bool IterateIndex(__FCBase* object, int index);

    // true: object is the element that FindFirst looks for. Default false.
    virtual bool Match(__FCBase* object);

    // For Sort: 1 or more means a must come after b; 0 or less leaves them.
    // Neither object is null when Sort calls it. Default 0.
    virtual int Compare(__FCBase* a, __FCBase* b);

    // Called once before a browse; false cancels it. Default true.
    virtual bool PreProcess();

    // Called before the first visit, only when there is something to visit;
    // false cancels the visits. Default true.
    virtual bool PreProcessIfExist();

    // Called after a browse whose PreProcess answered true. Default nothing.
    virtual void PostProcess();

    // Called after the visits, only when there was something to visit and
    // PreProcessIfExist answered true. Default nothing.
    virtual void PostProcessIfExist();

    // When set, the note-entry browser saves each visited cell after handing
    // its entries over. false at construction.
    void SetSaveAfterIterate(bool state) { _saveAfterIterate = state; }
    bool GetSaveAfterIterate() const { return _saveAfterIterate; }

private:
    bool _saveAfterIterate = false;
};
