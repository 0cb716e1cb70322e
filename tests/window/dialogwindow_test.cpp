// The Change Pitches dialog as a window among windows: the score window and
// the real plug-in in process, on an X server with the openbox window
// manager; real keys and clicks go through the X server (xdotool), and the
// window manager's view of the windows is read back with xprop and xwininfo.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"
#include "host/app/window/mainwindow.h"
#include "host/app/window/scoreview.h"
#include "host/app/window/selectionbounds.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"

using namespace tonaroapp;
using tonaroengine::Engine;

namespace {

constexpr char kMenuItem[] = "ZP Change Pitches...";
enum : int { kOk = 1, kClose = 2, kFrom = 102, kTo = 104, kSaveList = 119, kSounding = 113 };

// Runs an X tool; its standard output.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString Property(QWidget* window, const char* name)
{
    return RunTool("xprop", {"-id", QString::number(window->winId()), name});
}

// The client windows from bottom to top, as the window manager stacks them.
std::vector<WId> Stacking()
{
    const QString line = RunTool("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    std::vector<WId> ids;
    const int hash = line.indexOf('#');
    if (hash < 0) return ids;
    for (const QString& item : line.mid(hash + 1).split(',', Qt::SkipEmptyParts)) ids.push_back(item.trimmed().toULong(nullptr, 16));
    return ids;
}

bool IsViewable(QWidget* window)
{
    return RunTool("xwininfo", {"-id", QString::number(window->winId())}).contains("IsViewable");
}

// Waits up to ms for condition; false when it never held.
bool WaitFor(const std::function<bool()>& condition, int ms = 3000) { return QTest::qWaitFor(condition, ms); }

// The window's frame as the X server has it: the content's place and size
// and the window manager's frame extents around it. Empty while the window
// is not framed.
QRect XFrame(QWidget* window)
{
    const QString id = QString::number(window->winId());
    const QString info = RunTool("xwininfo", {"-id", id});
    auto value = [&info](const QString& label) {
        const int at = info.indexOf(label);
        return at < 0 ? -1 : info.mid(at + label.size()).section('\n', 0, 0).trimmed().toInt();
    };
    const QRect client(value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"),
                       value("Height:"));
    const QStringList extents = RunTool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}).section('=', 1).split(',');
    if (extents.size() != 4) return {};
    // Left, right, top, bottom.
    return client.adjusted(-extents[0].trimmed().toInt(), -extents[2].trimmed().toInt(), extents[1].trimmed().toInt(),
                           extents[3].trimmed().toInt());
}

// Waits until the X server sends the keys to window.
bool WaitForKeys(QWidget* window)
{
    return WaitFor([window] { return RunTool("xdotool", {"getwindowfocus"}).trimmed().toULongLong() == window->winId(); });
}

// Waits until the window manager has framed the window and the frame has
// stopped moving; answers the frame (empty when it never settled).
QRect WaitForFrame(QWidget* window)
{
    QRect last;
    for (int i = 0; i < 50; ++i) {
        QTest::qWait(60);
        const QRect frame = XFrame(window);
        if (!frame.isEmpty() && frame == last) return frame;
        last = frame;
    }
    return {};
}

// One run of the host: the plug-ins loaded, the score window with the
// example open and measures 2-3 of the top two staves selected.
class HostRun {
public:
    HostRun()
    {
        plugins.LoadFolder(TONARO_PLUGIN_FOLDER, nullptr);
        window = std::make_unique<MainWindow>(&plugins, std::string());
        window->resize(1000, 700);
        window->move(120, 80);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        std::string error;
        EXPECT_TRUE(window->OpenFile(QString(TONARO_EXAMPLES_DIR) + "/serenade.musicxml", &error)) << error;
        EXPECT_TRUE(window->GetDocument()->SetSelection(tonaroengine::Document::MakeRegion(1, 2, 2, 3)));
        QApplication::processEvents();
    }
    ~HostRun()
    {
        // As the application ends: the window first, then the plug-ins
        // (which store their preferences).
        window.reset();
        plugins.UnloadAll();
    }

    // Chooses the plug-in's menu item; the dialog once it is active.
    QWidget* OpenDialog()
    {
        QAction* item = nullptr;
        for (QAction* action : window->PluginsMenu()->actions())
            if (action->text() == kMenuItem) item = action;
        if (item == nullptr) return nullptr;
        item->trigger();
        QWidget* dialog = DialogDriver::FindDialog(kFrom);
        if (dialog == nullptr || !QTest::qWaitForWindowActive(dialog)) return nullptr;
        frame = WaitForFrame(dialog);
        return dialog;
    }
    QRect Selection() const { return VisibleSelectionOnScreen(window->View(), window->GetDocument()); }

    PluginHost plugins;
    std::unique_ptr<MainWindow> window;
    QRect frame;  // the dialog's frame when it last opened
};

template <typename T>
T* Tagged(QWidget* dialog, int tag)
{
    for (T* widget : dialog->findChildren<T*>())
        if (widget->property("tag").toInt() == tag) return widget;
    return nullptr;
}

class DialogWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Engine::Instance().Reset();
        QDir(SettingsFolder()).removeRecursively();
    }
    static QString SettingsFolder() { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/tonaro"; }
    static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(DialogWindowTest, TenOpensAcrossTwoRunsShowOneFrameOnScreenBesideTheSelection)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1600, 1000));
    std::vector<QRect> frames;
    for (int run = 0; run < 2; ++run) {
        HostRun host;
        const QRect selection = host.Selection();
        ASSERT_FALSE(selection.isEmpty());
        for (int open = 0; open < 5; ++open) {
            QWidget* dialog = host.OpenDialog();
            ASSERT_NE(dialog, nullptr) << "run " << run << ", open " << open;
            const QRect frame = host.frame;
            frames.push_back(frame);
            EXPECT_EQ(dialog->size(), QSize(418, 446)) << "run " << run << ", open " << open;
            EXPECT_TRUE(Screen().contains(frame)) << "run " << run << ", open " << open;
            EXPECT_FALSE(frame.intersects(selection)) << "run " << run << ", open " << open;
            ASSERT_TRUE(DialogDriver(dialog).Press(kClose));
            QApplication::processEvents();
        }
    }
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i], frames[0]) << "open " << i;
}

TEST_F(DialogWindowTest, AStoredHeightBeyondTheMaximumKeepsEveryControlInside)
{
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    QFile prefs(SettingsFolder() + "/zppluginprefs.txt");
    ASSERT_TRUE(prefs.open(QIODevice::WriteOnly));
    prefs.write("ZPCHANGEPITCHES_WINDOWX2=1500\nZPCHANGEPITCHES_WINDOWY2=-40\n"
                "ZPCHANGEPITCHES_WINDOWWIDTH2=418\nZPCHANGEPITCHES_WINDOWHEIGHT2=3000\n");
    prefs.close();

    HostRun host;
    QWidget* dialog = host.OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_LE(host.frame.height(), 800);
    EXPECT_TRUE(Screen().contains(host.frame)) << "moved inside the screen";
    auto* save = Tagged<QPushButton>(dialog, kSaveList);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(dialog->height() - (save->y() + save->height()), 446 - 436) << "the layout's bottom margin";
    ASSERT_TRUE(DialogDriver(dialog).Press(kClose));
}

TEST_F(DialogWindowTest, ItIsAToolWindowOfTheScoreWindowAndTakesTheKeysAtOnce)
{
    HostRun host;
    QWidget* dialog = host.OpenDialog();
    ASSERT_NE(dialog, nullptr);

    // Typing right after the menu command replaces the From text.
    ASSERT_TRUE(WaitForKeys(dialog));
    RunTool("xdotool", {"type", "--delay", "30", "Gb"});
    EXPECT_TRUE(WaitFor([&] { return Tagged<QLineEdit>(dialog, kFrom)->text() == "Gb"; }));

    // Return presses Change; the alert about To gives the keys back to To.
    RunTool("xdotool", {"key", "Tab", "type", "--delay", "30", "Hx"});
    EXPECT_TRUE(WaitFor([&] { return Tagged<QLineEdit>(dialog, kTo)->text() == "Hx"; }));
    // The alert runs its own event loop: it is answered from in there, with
    // Return as the user would.
    bool answered = false;
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* alert = QApplication::activeModalWidget();
        if (answered || alert == nullptr || !alert->isActiveWindow()) return;
        answered = true;
        RunTool("xdotool", {"key", "Return"});
    });
    answer.start();
    RunTool("xdotool", {"key", "Return"});
    EXPECT_TRUE(WaitFor([&] { return answered && QApplication::activeModalWidget() == nullptr; }, 5000));
    answer.stop();
    ASSERT_TRUE(WaitForKeys(dialog));
    RunTool("xdotool", {"type", "--delay", "30", "Ab"});
    EXPECT_TRUE(WaitFor([&] { return Tagged<QLineEdit>(dialog, kTo)->text().endsWith("Ab"); }))
        << Tagged<QLineEdit>(dialog, kTo)->text().toStdString();
    EXPECT_EQ(Tagged<QLineEdit>(dialog, kFrom)->text(), "Gb");

    EXPECT_TRUE(Property(dialog, "WM_TRANSIENT_FOR").contains(QString::number(host.window->winId(), 16)))
        << Property(dialog, "WM_TRANSIENT_FOR").toStdString();
    EXPECT_TRUE(Property(dialog, "_NET_WM_WINDOW_TYPE").contains("_NET_WM_WINDOW_TYPE_UTILITY"));

    // A click on the score activates the score window; the dialog stays above it.
    const QRect cell = host.window->View()->CellRect(4, 1);
    const QPoint click = host.window->View()->viewport()->mapToGlobal(cell.center());
    ASSERT_FALSE(host.frame.contains(click));
    RunTool("xdotool", {"mousemove", "--sync", QString::number(click.x()), QString::number(click.y()), "click", "1"});
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.window.get()));
    QTest::qWait(200);
    const std::vector<WId> stacking = Stacking();
    const auto main = std::find(stacking.begin(), stacking.end(), host.window->winId());
    const auto tool = std::find(stacking.begin(), stacking.end(), dialog->winId());
    ASSERT_NE(main, stacking.end());
    ASSERT_NE(tool, stacking.end());
    EXPECT_GT(tool - stacking.begin(), main - stacking.begin()) << "the dialog is above the score window";

    // It is minimised and restored with the score window.
    host.window->showMinimized();
    EXPECT_TRUE(WaitFor([&] { return !IsViewable(dialog); }));
    host.window->showNormal();
    EXPECT_TRUE(WaitFor([&] { return IsViewable(dialog); }));

    // Escape closes it, as its Close button does. The key goes where the X
    // server has the focus, so that is what is waited for (Qt may call the
    // dialog active while an earlier activation is still on its way).
    dialog->activateWindow();
    ASSERT_TRUE(WaitForKeys(dialog));
    RunTool("xdotool", {"key", "Escape"});
    EXPECT_TRUE(WaitFor([] { return DialogDriver::FindDialog(kFrom) == nullptr; }));
}

TEST_F(DialogWindowTest, UndoAndRedoReachTheScoreWindowOutsideTextFields)
{
    HostRun host;
    tonaroengine::Document* document = host.window->GetDocument();
    host.window->Action(WindowAction::SelectAll)->trigger();
    QWidget* dialog = host.OpenDialog();
    ASSERT_NE(dialog, nullptr);
    DialogDriver driver(dialog);
    ASSERT_TRUE(driver.TypeText(kFrom, "A#"));
    ASSERT_TRUE(driver.TypeText(kTo, "Bb"));
    ASSERT_TRUE(driver.Press(kOk));
    ASSERT_EQ(document->UndoCount(), 1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));

    // In a text field the keys edit the text.
    Tagged<QLineEdit>(dialog, kFrom)->setFocus();
    RunTool("xdotool", {"key", "ctrl+z"});
    QTest::qWait(200);
    EXPECT_EQ(document->UndoCount(), 1);

    // Elsewhere they are the score window's.
    Tagged<QWidget>(dialog, kSounding)->setFocus();
    RunTool("xdotool", {"key", "ctrl+z"});
    EXPECT_TRUE(WaitFor([&] { return document->UndoCount() == 0; }));
    RunTool("xdotool", {"key", "ctrl+shift+z"});
    EXPECT_TRUE(WaitFor([&] { return document->UndoCount() == 1; }));
    EXPECT_TRUE(dialog->isActiveWindow()) << "the dialog keeps the keys";
    ASSERT_TRUE(driver.Press(kClose));
}

}  // namespace
