// The Change Pitches dialog's keyboard and list, on the offscreen platform:
// the real plug-in opened from the score window's menu.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"
#include "host/app/window/mainwindow.h"
#include "host/engine/engine.h"

using namespace tonaroapp;

namespace {

constexpr char kMenuItem[] = "ZP Change Pitches...";
enum : int { kOk = 1, kFrom = 102, kTo = 104, kList = 108, kAdd = 109, kAddInverse = 110 };

template <typename T>
T* Tagged(QWidget* dialog, int tag)
{
    for (T* widget : dialog->findChildren<T*>())
        if (widget->property("tag").toInt() == tag) return widget;
    return nullptr;
}

class ChangePitchesDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tonaroengine::Engine::Instance().Reset();
        plugins_.LoadFolder(TONARO_PLUGIN_FOLDER, nullptr);
        window_ = std::make_unique<MainWindow>(&plugins_, std::string());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        std::string error;
        ASSERT_TRUE(window_->OpenFile(QString(TONARO_EXAMPLES_DIR) + "/serenade.musicxml", &error)) << error;
        dialog_ = Open();
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        if (QWidget* dialog = DialogDriver::FindDialog(kFrom)) QTest::keyClick(dialog, Qt::Key_Escape);
        window_.reset();
        plugins_.UnloadAll();
    }

    QWidget* Open()
    {
        for (QAction* action : window_->PluginsMenu()->actions())
            if (action->text() == kMenuItem) action->trigger();
        QWidget* dialog = DialogDriver::FindDialog(kFrom);
        if (dialog != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        return dialog;
    }
    // The control that has the keys whenever the dialog is active (where
    // the real keys go is checked under a window manager, tests/window).
    int FocusTag() const
    {
        QWidget* focus = dialog_->focusWidget();
        return focus != nullptr ? focus->property("tag").toInt() : -1;
    }

    PluginHost plugins_;
    std::unique_ptr<MainWindow> window_;
    QWidget* dialog_ = nullptr;
};

TEST_F(ChangePitchesDialogTest, FocusStartsInFromAndTabFollowsTheDialogsOrder)
{
    EXPECT_EQ(FocusTag(), kFrom);
    EXPECT_TRUE(Tagged<QLineEdit>(dialog_, kFrom)->hasSelectedText()) << "typing replaces the text";

    // Every control in the chain, whether enabled now or not.
    std::vector<int> order;
    QWidget* widget = Tagged<QWidget>(dialog_, kFrom);
    do {
        const int tag = widget->property("tag").toInt();
        if (tag != 0 && (widget->focusPolicy() & Qt::TabFocus) && dialog_->isAncestorOf(widget)) order.push_back(tag);
        widget = widget->nextInFocusChain();
    } while (widget != Tagged<QWidget>(dialog_, kFrom) && order.size() < 40);
    EXPECT_EQ(order, (std::vector<int>{102, 104, 106, 1, 2, 113, 114, 108, 109, 110, 111, 112, 107, 117, 120, 121,
                                       118, 119}));

    // Brought back from the menu, the dialog gives From the keys again.
    Tagged<QWidget>(dialog_, kTo)->setFocus();
    window_->activateWindow();
    EXPECT_EQ(Open(), dialog_);
    EXPECT_EQ(FocusTag(), kFrom);
}

TEST_F(ChangePitchesDialogTest, AfterASyntaxAlertTheNamedFieldHasTheKeys)
{
    DialogDriver driver(dialog_);
    ASSERT_TRUE(driver.TypeText(kFrom, "H"));
    ASSERT_TRUE(driver.TypeText(kTo, "Bb"));
    ASSERT_TRUE(driver.Press(kOk));
    ASSERT_EQ(driver.TakeAlerts().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([this] { return FocusTag() == kFrom; }, 2000)) << FocusTag();

    // Add Inverse checks To first: its error names To.
    ASSERT_TRUE(driver.TypeText(kFrom, "A#"));
    ASSERT_TRUE(driver.TypeText(kTo, "Bbx"));
    ASSERT_TRUE(driver.Press(kAddInverse));
    ASSERT_EQ(driver.TakeAlerts().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([this] { return FocusTag() == kTo; }, 2000)) << FocusTag();
}

TEST_F(ChangePitchesDialogTest, RowsUseTheDialogsFontFillTheListAndAddSelectsTheNewRow)
{
    auto* table = Tagged<QTableView>(dialog_, kList);
    ASSERT_NE(table, nullptr);
    DialogDriver driver(dialog_);
    for (const char* from : {"A#", "Cb", "E#"}) {
        ASSERT_TRUE(driver.TypeText(kFrom, from));
        ASSERT_TRUE(driver.TypeText(kTo, "D"));
        ASSERT_TRUE(driver.Press(kAdd));
        const int last = table->model()->rowCount() - 1;
        EXPECT_EQ(table->currentIndex().row(), last) << from;
        ASSERT_TRUE(table->selectionModel()->isRowSelected(last)) << from;
    }
    EXPECT_TRUE(driver.TakeAlerts().empty());

    const QModelIndex cell = table->model()->index(0, 1);
    EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), "A#");
    const QVariant font = cell.data(Qt::FontRole);
    EXPECT_TRUE(!font.isValid() || font.value<QFont>() == table->font()) << "the dialog's font";
    EXPECT_EQ(table->verticalHeader()->defaultSectionSize(),
              std::max({16, QFontMetrics(table->font()).height() + 3, table->verticalHeader()->minimumSectionSize()}));

    int widths = 0;
    for (int column = 0; column < table->model()->columnCount(); ++column)
        widths += table->horizontalHeader()->sectionSize(column);
    EXPECT_EQ(widths, table->viewport()->width());
    EXPECT_GT(table->horizontalHeader()->sectionSize(3), table->horizontalHeader()->sectionSize(2))
        << "Direction keeps the larger share";
}

}  // namespace
