// The Qt half of the host UI services (FCUI): alert panels as QMessageBox,
// QApplication::beep, the primary screen, the font database,
// QDesktopServices, the clipboard, the current locale's decimal separator
// and a high-resolution clock.
//
// Call _FCUI_qt::Register() once at load (the plug-in does so before it
// creates its FCUI); every FCUI constructed afterwards owns one _FCUI_qt.
// Widgets need a QApplication: without one, alerts show nothing (answer 4),
// the screen measures 0 x 0 and fonts and the clipboard are unavailable.
#pragma once

#include <QElapsedTimer>

#include "tonaroframework/ui/fcuiplatform.h"

class _FCUI_qt : public __FCUIPlatform {
public:
    _FCUI_qt();
    ~_FCUI_qt() override;

    // Registers the factory that makes _FCUI_qt objects for FCUI
    // (SetFCUIPlatformFactory). Idempotent.
    static void Register();

    int ShowAlert(FCUI_ALERTKIND kind, const FCString& title, const FCString& message) override;
    void Beep() override;
    int GetScreenWidth() override;
    int GetScreenHeight() override;
    bool IsFontAvailable(const FCString& name) override;
    void OpenWebURL(const FCString& address) override;
    bool SetClipboardText(const char* text, bool utf8) override;
    void GetDecimalSeparator(FCString* separator) override;
    double GetCurrentTime() override;

private:
    // The wall-clock time at construction (seconds since the reference
    // date) and a monotonic timer started then; now = anchor + elapsed.
    double _anchorSeconds = 0.0;
    QElapsedTimer _elapsed;
};
