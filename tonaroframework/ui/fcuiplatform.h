// The platform half of the host UI services (FCUI): alert panels, the
// system beep, the main screen, fonts, the web browser, the clipboard, the
// locale's decimal separator and a high-resolution clock.
//
// The core framework has no platform code. A platform layer (the Qt layer,
// tonaroframework_qt) implements __FCUIPlatform and registers a factory with
// SetFCUIPlatformFactory; every FCUI constructed afterwards creates and owns
// one platform object. Without a registered factory FCUI answers neutral
// values (see fcui.h). Main thread only.
#pragma once

#include "tonaroframework/ui/fcuialert.h"

class FCString;

class __FCUIPlatform {
public:
    virtual ~__FCUIPlatform();

    // Shows an application-modal alert of kind with its buttons (see
    // fcuialert.h), the title (already defaulted by FCUI) and the message as
    // literal text, and blocks until a button is pressed. Answers the
    // FCUI_ALERTRESULT of the pressed button, or FCUI_ALERTRESULT_NONE when no
    // alert could be shown. The texts are borrowed for the call.
    virtual int ShowAlert(FCUI_ALERTKIND kind, const FCString& title, const FCString& message) = 0;

    // The system alert sound.
    virtual void Beep() = 0;

    // Pixel size of the main display; 0 when there is none.
    virtual int GetScreenWidth() = 0;
    virtual int GetScreenHeight() = 0;

    // Whether a font of that family name can be created (name not empty).
    virtual bool IsFontAvailable(const FCString& name) = 0;

    // Opens the address in the user's default browser.
    virtual void OpenWebURL(const FCString& address) = 0;

    // Clears the clipboard and puts text on it as plain text, read as ASCII
    // (utf8 false) or UTF-8 (utf8 true). text is not null. Answers whether
    // the clipboard accepted it (false for text that is not valid in its
    // encoding).
    virtual bool SetClipboardText(const char* text, bool utf8) = 0;

    // Writes the current locale's decimal separator into separator (not null).
    virtual void GetDecimalSeparator(FCString* separator) = 0;

    // The current time in seconds since the platform's reference date
    // (2001-01-01 00:00:00 UTC), with sub-millisecond resolution.
    virtual double GetCurrentTime() = 0;
};

// Makes a new platform object, owned by the caller.
using FCUIPlatformFactory = __FCUIPlatform* (*)();

// Registers the factory that FCUI constructors use; null removes it. FCUI
// objects that exist keep the platform object they made.
void SetFCUIPlatformFactory(FCUIPlatformFactory factory);
// The registered factory, or null.
FCUIPlatformFactory GetFCUIPlatformFactory();
