// Where the score view shows the engine's selection on the screen, for the
// window information that plug-ins read (they place their windows beside it).
#pragma once

#include <QRect>

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

class ScoreView;

// The part of the document's selection that the view shows, in global screen
// pixels; an empty rectangle when nothing selected is in view (also for a
// null view or document, or a view that is not shown). Both are borrowed.
QRect VisibleSelectionOnScreen(const ScoreView* view, const tonaroengine::Document* document);

}  // namespace tonaroapp
