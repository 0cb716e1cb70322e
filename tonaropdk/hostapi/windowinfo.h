// What the host tells of its current document window (FX_GetCurrentWindowInfo).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

struct EWINDOWINFO {
    int16_t pageView;        // non-zero in page view
    int16_t currentPage;     // page shown (page view)
    int16_t currentMeasure;  // first measure shown (scroll view)
    int16_t zoomPercent;     // zoom, percent
    void* window;            // the document window reference
};

// Kinds of FX_SelectionDialog.
constexpr int16_t SELECTIONDIALOG_ARTICULATION = 1;
constexpr int16_t SELECTIONDIALOG_SHAPE = 3;
constexpr int16_t SELECTIONDIALOG_TEXTEXPRESSION = 4;
