// The UI services' alerts and platform services on Qt's offscreen platform:
// real message boxes answered by clicking their buttons, the clipboard, the
// locale, fonts, web addresses and the clock.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <thread>

#include "tests/qt/alertanswerer.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/qt/fcui_qt.h"
#include "tonaroframework/ui/fcui.h"

namespace {

class FCUIQtTest : public testing::Test {
protected:
    void SetUp() override
    {
        _FCUI_qt::Register();
        topLevelBefore = QApplication::topLevelWidgets().size();
    }
    void TearDown() override
    {
        SetFCUIPlatformFactory(nullptr);
        // Every alert box is gone once its call returns.
        EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevelBefore);
    }
    qsizetype topLevelBefore = 0;
};

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

TEST_F(FCUIQtTest, RegisteredPlatformIsInstalled)
{
    FCUI ui;
    EXPECT_TRUE(ui.HasPlatform());
}

TEST_F(FCUIQtTest, SingleButtonAlertsWithTheirDefaultTitles)
{
    FCUI ui;
    FCString message("Disk full");
    FCString empty;
    {
        AlertAnswerer answer("Ok");
        ui.AlertError(&message, &empty);
        EXPECT_TRUE(answer.Seen().shown);
        EXPECT_EQ(answer.Seen().title, "Error");
        EXPECT_EQ(answer.Seen().text, "Disk full");
        EXPECT_EQ(answer.Seen().buttons, QStringList{"Ok"});
        EXPECT_EQ(answer.Seen().defaultButton, "Ok");
        EXPECT_EQ(answer.Seen().modality, Qt::ApplicationModal);
        EXPECT_FALSE(answer.Seen().windowshadeAllowed);
        EXPECT_TRUE(__bWindowshadeAllowed);
    }
    {
        AlertAnswerer answer("Ok");
        ui.AlertInfo(&message, nullptr);
        EXPECT_EQ(answer.Seen().title, "Information");
    }
    {
        AlertAnswerer answer("Ok");
        ui.AlertNeutral(&message, nullptr);
        EXPECT_TRUE(answer.Seen().shown);
        EXPECT_EQ(answer.Seen().title, "");
        EXPECT_EQ(answer.Seen().buttons, QStringList{"Ok"});
    }
    {
        FCString title("Own title");
        AlertAnswerer answer("Ok");
        ui.AlertInfo(&message, &title);
        EXPECT_EQ(answer.Seen().title, "Own title");
    }
}

TEST_F(FCUIQtTest, YesNoAnswersTwoOrThree)
{
    FCUI ui;
    FCString message("Delete the list?");
    {
        AlertAnswerer answer("Yes");
        EXPECT_EQ(ui.AlertYesNo(&message, nullptr), FCUI_ALERTRESULT_YES);
        EXPECT_EQ(answer.Seen().title, "Yes/No?");
        EXPECT_EQ(answer.Seen().buttons, Sorted({"Yes", "No"}));
        EXPECT_EQ(answer.Seen().defaultButton, "Yes");
        EXPECT_EQ(answer.Seen().escapeButton, "No");
    }
    {
        AlertAnswerer answer("No");
        EXPECT_EQ(ui.AlertYesNo(&message, nullptr), FCUI_ALERTRESULT_NO);
    }
    {
        AlertAnswerer answer("");  // Escape
        EXPECT_EQ(ui.AlertYesNoCString("Delete?", nullptr), FCUI_ALERTRESULT_NO);
    }
}

TEST_F(FCUIQtTest, OkCancelAnswersZeroForOk)
{
    FCUI ui;
    FCString message("Replace?");
    {
        AlertAnswerer answer("Ok");
        EXPECT_EQ(ui.AlertOkCancel(&message, nullptr), FCUI_ALERTRESULT_OK);
        EXPECT_EQ(answer.Seen().title, "Ok/Cancel?");
        EXPECT_EQ(answer.Seen().buttons, Sorted({"Ok", "Cancel"}));
        EXPECT_EQ(answer.Seen().defaultButton, "Ok");
    }
    {
        AlertAnswerer answer("Cancel");
        EXPECT_EQ(ui.AlertOkCancelUTF8("Replace?", "T"), FCUI_ALERTRESULT_CANCEL);
        EXPECT_EQ(answer.Seen().title, "T");
    }
}

TEST_F(FCUIQtTest, YesNoCancelAnswersAllThree)
{
    FCUI ui;
    FCString message("Save first?");
    {
        AlertAnswerer answer("Yes");
        EXPECT_EQ(ui.AlertYesNoCancel(&message, nullptr), FCUI_ALERTRESULT_YES);
        EXPECT_EQ(answer.Seen().title, "Yes/No/Cancel?");
        EXPECT_EQ(answer.Seen().buttons, Sorted({"Yes", "No", "Cancel"}));
        EXPECT_EQ(answer.Seen().defaultButton, "Yes");
        EXPECT_EQ(answer.Seen().escapeButton, "Cancel");
    }
    {
        AlertAnswerer answer("No");
        EXPECT_EQ(ui.AlertYesNoCancelUTF8("Save first?", nullptr), FCUI_ALERTRESULT_NO);
    }
    {
        AlertAnswerer answer("Cancel");
        EXPECT_EQ(ui.AlertYesNoCancel(&message, nullptr), FCUI_ALERTRESULT_CANCEL);
    }
}

TEST_F(FCUIQtTest, NullMessageShowsNothing)
{
    FCUI ui;
    AlertAnswerer answer("Ok");
    EXPECT_EQ(ui.AlertYesNo(nullptr, nullptr), FCUI_ALERTRESULT_NONE);
    EXPECT_EQ(ui.AlertOkCancelCString(nullptr, "Title"), FCUI_ALERTRESULT_NONE);
    EXPECT_EQ(ui.AlertYesNoCancelUTF8(nullptr, nullptr), FCUI_ALERTRESULT_NONE);
    ui.AlertErrorCString(nullptr, "Title");
    ui.AlertInfoUTF8(nullptr, nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(answer.Seen().shown);
}

TEST_F(FCUIQtTest, MessagesAreShownAsLiteralText)
{
    FCUI ui;
    AlertAnswerer answer("Ok");
    ui.AlertErrorCString("The list \"100% <b>loud</b> %s\" already exists.", "");
    EXPECT_EQ(answer.Seen().text, "The list \"100% <b>loud</b> %s\" already exists.");
    EXPECT_EQ(answer.Seen().format, Qt::PlainText);
    EXPECT_EQ(answer.Seen().title, "Error");
}

TEST_F(FCUIQtTest, EightBitAndUTF8FormsDecodeTheirTexts)
{
    FCUI ui;
    {
        AlertAnswerer answer("Ok");
        ui.AlertInfoCString("Gr\xF6\xDF" "e", "Ma\xDF");  // Latin-1
        EXPECT_EQ(answer.Seen().text, QString::fromUtf8("Größe"));
        EXPECT_EQ(answer.Seen().title, QString::fromUtf8("Maß"));
    }
    {
        AlertAnswerer answer("Ok");
        ui.AlertInfoUTF8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x99\xAF", "\xE2\x99\xAD");
        EXPECT_EQ(answer.Seen().text, QString::fromUtf8("Größe ♯"));
        EXPECT_EQ(answer.Seen().title, QString::fromUtf8("♭"));
    }
}

TEST_F(FCUIQtTest, ClipboardTakesAsciiAndUTF8)
{
    FCUI ui;
    QClipboard* clipboard = QGuiApplication::clipboard();
    EXPECT_TRUE(ui.TextToClipboard("A# to Bb"));
    EXPECT_EQ(clipboard->text(), "A# to Bb");
    EXPECT_TRUE(ui.TextToClipboardUTF8("F\xE2\x99\xAF"));
    EXPECT_EQ(clipboard->text(), QString::fromUtf8("F♯"));

    // Text that is not valid in its encoding is refused, and the clipboard
    // is left empty rather than holding the old text.
    EXPECT_FALSE(ui.TextToClipboard("Gr\xF6\xDF" "e"));
    EXPECT_TRUE(clipboard->text().isEmpty());
    EXPECT_TRUE(ui.TextToClipboard("x"));
    EXPECT_FALSE(ui.TextToClipboardUTF8("bad \xC3"));
    EXPECT_TRUE(clipboard->text().isEmpty());
    EXPECT_FALSE(ui.TextToClipboard(nullptr));
    EXPECT_FALSE(ui.TextToClipboardUTF8(nullptr));
}

TEST_F(FCUIQtTest, DecimalSeparatorFollowsTheLocale)
{
    const QLocale saved;
    FCUI ui;
    FCString separator;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ui.GetDecimalSeparator(&separator);
    EXPECT_TRUE(separator.IsEqualCString(","));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ui.GetDecimalSeparator(&separator);
    EXPECT_TRUE(separator.IsEqualCString("."));
    QLocale::setDefault(saved);
}

TEST_F(FCUIQtTest, ScreenSizeIsThePrimaryScreens)
{
    FCUI ui;
    const QRect geometry = QGuiApplication::primaryScreen()->geometry();
    EXPECT_GT(ui.GetScreenWidth(), 0);
    EXPECT_EQ(ui.GetScreenWidth(), geometry.width());
    EXPECT_EQ(ui.GetScreenHeight(), geometry.height());
}

TEST_F(FCUIQtTest, FontAvailability)
{
    FCUI ui;
    const QStringList families = QFontDatabase::families();
    if (!families.isEmpty()) {
        FCString known;
        const QString& family = families.front();
        known.SetUnicodeString(reinterpret_cast<const unsigned short*>(family.utf16()),
                               static_cast<int>(family.size()));
        EXPECT_TRUE(ui.IsFontAvailable(&known));
    }
    FCString unknown("No Such Font Family 7f3e");
    EXPECT_FALSE(ui.IsFontAvailable(&unknown));
    FCString empty;
    EXPECT_FALSE(ui.IsFontAvailable(&empty));
    EXPECT_FALSE(ui.IsFontAvailable(nullptr));
}

}  // namespace

// Receives the web addresses that the UI services open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

namespace {

TEST_F(FCUIQtTest, DisplayWebURLOpensTheAddress)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    FCUI ui;
    FCString address("https://example.org/change-pitches?a=1");
    EXPECT_TRUE(ui.DisplayWebURL(&address));
    EXPECT_TRUE(ui.DisplayWebURL(nullptr));
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl("https://example.org/change-pitches?a=1"));
}

TEST_F(FCUIQtTest, ClockAndPerformanceTimer)
{
    FCUI ui;
    const double expected =
        static_cast<double>(QDateTime::currentMSecsSinceEpoch() - 978307200000LL) / 1000.0;
    EXPECT_NEAR(ui.GetHiResTimer(), expected, 2.0);
    ui.StartPerformanceTimer();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ui.StopPerformanceTimer();
    EXPECT_GE(ui.ReturnPerformanceTiming(), 0.025);
    EXPECT_LT(ui.ReturnPerformanceTiming(), 5.0);
    const double t1 = ui.GetHiResTimer();
    const double t2 = ui.GetHiResTimer();
    EXPECT_LE(t1, t2);
}

}  // namespace

#include "fcui_test.moc"
