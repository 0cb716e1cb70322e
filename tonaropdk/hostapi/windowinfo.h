// What the host tells of its current document window (FX_GetCurrentWindowInfo).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

struct EWINDOWINFO {
    int16_t pageView;        // non-zero in page view
    int16_t currentPage;     // page shown (page view)
    int16_t currentMeasure;  // first measure shown (scroll view)
    int16_t zoomPercent;     // zoom, percent
    // The document window reference: the host's own handle, borrowed, valid
    // while the window is open; null when there is none. In the Qt host it is
    // the window's top-level QWidget*. A plug-in must not use it as a pointer
    // before it has found it among the application's own top-level windows.
    void* window;
    // The part of the selection that the window shows, in screen pixels
    // (y down; left and top inclusive, right and bottom exclusive), as of the
    // host's last report (it reports before it invokes a plug-in). All 0 when
    // nothing selected is in view.
    int32_t selectionLeft;
    int32_t selectionTop;
    int32_t selectionRight;
    int32_t selectionBottom;
};

// Kinds of FX_SelectionDialog.
constexpr int16_t SELECTIONDIALOG_ARTICULATION = 1;
constexpr int16_t SELECTIONDIALOG_SHAPE = 3;
constexpr int16_t SELECTIONDIALOG_TEXTEXPRESSION = 4;
