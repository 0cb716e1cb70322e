#include "host/app/window/selectionbounds.h"

#include <algorithm>
#include <utility>

#include "host/app/window/scoreview.h"
#include "host/engine/document.h"

namespace tonaroapp {

QRect VisibleSelectionOnScreen(const ScoreView* view, const tonaroengine::Document* document)
{
    EREGION region{};
    if (view == nullptr || document == nullptr || !view->isVisible() || !document->GetSelection(&region)) return {};
    int firstSlot = region.startSlot;
    int lastSlot = region.endSlot;
    int firstMeasure = region.startMeas;
    int lastMeasure = region.endMeas;
    if (firstSlot > lastSlot) std::swap(firstSlot, lastSlot);
    if (firstMeasure > lastMeasure) std::swap(firstMeasure, lastMeasure);
    // Systems wrap, so every measure of the run counts; the top and bottom
    // staves of the run bound each measure's cells.
    QRect cells;
    for (int measure = firstMeasure; measure <= lastMeasure; ++measure) {
        cells |= view->CellRect(firstSlot, static_cast<int16_t>(measure));
        cells |= view->CellRect(lastSlot, static_cast<int16_t>(measure));
    }
    const QWidget* viewport = view->viewport();
    const QRect shown = cells & viewport->rect();
    if (shown.isEmpty()) return {};
    return QRect(viewport->mapToGlobal(shown.topLeft()), shown.size());
}

}  // namespace tonaroapp
