// tonaro_screenshot: takes the picture of the score window for the README.
// It opens the example score in the window, selects a passage with the
// mouse, opens the Change Pitches dialog from the Plug-ins menu, types A#
// and Bb into it, and saves a grab of the whole screen as a PNG.
//
// Usage: tonaro_screenshot OUTPUT.png   (run on an X server, such as the
// virtual one that tools/screenshot.sh starts). Exit 0 when the picture was
// written, 1 otherwise.
#include <cstdio>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"
#include "host/app/window/mainwindow.h"
#include "host/app/window/runwindow.h"
#include "host/app/window/scoreview.h"

using namespace tonaroapp;

namespace {

int Fail(const char* message)
{
    std::fprintf(stderr, "tonaro_screenshot: %s\n", message);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) return Fail("usage: tonaro_screenshot OUTPUT.png");
    const QString output = QString::fromLocal8Bit(argv[1]);

    PluginHost plugins;
    plugins.LoadFolder(PluginHost::DefaultPluginFolder(), nullptr);
    int result = 0;
    {
        MainWindow window(&plugins, "");  // no recent-files settings of the user's
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        window.setGeometry(screen);
        const std::string example = FindExampleScore();
        std::string error;
        if (example.empty() || !window.OpenFile(QString::fromStdString(example), &error))
            return Fail("the example score cannot be opened");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window did not appear");
        QTest::qWait(300);

        // Measures 1-3 of the top two staves: a click and a shift-click.
        ScoreView* view = window.View();
        const QRect first = view->CellRect(1, 1);
        const QRect last = view->CellRect(2, 3);
        if (first.isEmpty() || last.isEmpty()) return Fail("the score is not laid out");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, last.center());

        QAction* change = nullptr;
        for (QAction* action : window.PluginsMenu()->actions())
            if (action->text() == "ZP Change Pitches...") change = action;
        if (change == nullptr) return Fail("the Change Pitches plug-in is not loaded");
        change->trigger();
        QWidget* dialog = DialogDriver::FindDialog(102);
        if (dialog == nullptr) return Fail("the plug-in showed no dialog");
        // Below the music, at the right, where it hides nothing of the passage.
        dialog->move(screen.width() - dialog->frameGeometry().width() - 40,
                     screen.height() - dialog->frameGeometry().height() - 60);
        DialogDriver driver(dialog);
        driver.TypeText(102, "A#");
        driver.TypeText(104, "Bb");
        QTest::qWait(500);

        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
        if (shot.isNull() || !shot.save(output, "PNG")) result = Fail("the picture cannot be saved");
        driver.Press(2);
    }
    plugins.UnloadAll();
    return result;
}
