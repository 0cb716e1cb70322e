#include "tonaroframework/data/fccells.h"

#include "tonaroframework/base/fciteratorhandler.h"

FCCell* FCCells::GetItemAt(int index) const
{
    return dynamic_cast<FCCell*>(__FCCollection::GetItemAt(index));
}

FCCell* FCCells::Find(int measure, int staff) const
{
    for (int i = 0; i < GetCount(); ++i) {
        FCCell* cell = GetItemAt(i);
        if (cell && cell->GetMeasure() == measure && cell->GetStaff() == staff) return cell;
    }
    return nullptr;
}

namespace {

// Visits the cells that pass the test, reading the count after every call
// as ForEach does.
template <typename Test>
int ForEachCellWhere(FCCells* cells, FCIteratorHandler* handler, Test test)
{
    if (!handler) return 0;
    int visited = 0;
    for (int i = 0; i < cells->GetCount(); ++i) {
        FCCell* cell = cells->GetItemAt(i);
        if (!cell || !test(cell)) continue;
        if (!handler->Iterate(cell)) break;
        ++visited;
    }
    return visited;
}

}  // namespace

int FCCells::ForEachAtMeasure(int measure, FCIteratorHandler* handler)
{
    return ForEachCellWhere(this, handler, [measure](const FCCell* cell) { return cell->GetMeasure() == measure; });
}

int FCCells::ForEachAtStaff(int staff, FCIteratorHandler* handler)
{
    return ForEachCellWhere(this, handler, [staff](const FCCell* cell) { return cell->GetStaff() == staff; });
}
