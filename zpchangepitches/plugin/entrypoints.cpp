// The plug-in's exported entry points and the process-wide objects they own:
// the one dialog and the one host UI services object.
#include <cstring>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/qt/fcui_qt.h"
#include "tonaroframework/qt/fcwindowcontroller_qt.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/dialog/fcchangepitcheswindow.h"
#include "zpchangepitches/plugin/tonaroextension.h"
#include "zpchangepitches/storage/globaldialogsettings.h"

#define TONARO_EXTENSION_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr uint32_t kPluginVersion = 0x0F000000;
constexpr const char kMenuText[] = "ZP Change Pitches...";
constexpr const char kDescription[] = "Selectively replaces the pitches within the region.";
constexpr const char kShortName[] = "Change Pitches";

// The one dialog, from the first invocation to termination.
FCChangePitchesWindow* pMainWindow = nullptr;

// Creates the dialog if needed and shows it (or brings it forward), ready
// for typing into From.
void DisplayUserWindow(FCUI* ui)
{
    if (pMainWindow == nullptr) {
        pMainWindow = new FCChangePitchesWindow(ui);
        pMainWindow->LinkControls();
    }
    pMainWindow->ShowWithFocus(ui->GetHostWindow());
}

// Installs the Qt halves of windows and UI services, which must be in place
// before the first of them is made; answers hostWindow.
void* WithQtPlatform(void* hostWindow)
{
    _FCUI_qt::Register();
    _FCWindowController_qt::Register();
    return hostWindow;
}

void CopyPadded(char (&field)[64], const char* text)
{
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

void CopyUTF16(uint16_t (&field)[128], const char* text)
{
    FCString converted(text);
    converted.CopyToUnicodeBuffer(reinterpret_cast<unsigned short*>(field), 64);
}

}  // namespace

// The loader's entry point. Declared under another C++ name because the
// language reserves main for programs; the symbol is "main".
TONARO_EXTENSION_EXPORT int16_t TonaroPluginMain(void* loaderValue1, void* loaderValue2) __asm__("main");

TONARO_EXTENSION_EXPORT int16_t TonaroPluginMain(void* loaderValue1, void* loaderValue2)
{
    if (loaderValue1 == nullptr || loaderValue2 == nullptr) return 0;
    return InitializeGlobals() == 0 ? 1 : 0;
}

TONARO_EXTENSION_EXPORT uint32_t TonaroExtensionVersion(uint32_t hostVersion)
{
    SetTonaroFrameworkVersion(hostVersion);
    return kPluginVersion;
}

TONARO_EXTENSION_EXPORT int16_t TonaroExtensionInit(void* /*context*/, uint8_t* flags)
{
    if (flags != nullptr) *flags |= 1;
    ResetGlobalDialogSettings();
    return 1;
}

TONARO_EXTENSION_EXPORT int16_t TonaroExtensionEnumerate(void* /*context*/, int16_t index,
                                                         TonaroExtensionMenuRecord* record)
{
    if (index > 0 || record == nullptr) return 0;
    CopyPadded(record->menuText, kMenuText);
    CopyPadded(record->description, kDescription);
    CopyPadded(record->shortName, kShortName);
    record->reserved = 0;
    return 1;
}

TONARO_EXTENSION_EXPORT int16_t TonaroExtensionEnumerate_UTF16(void* /*context*/, int16_t index,
                                                               TonaroExtensionMenuRecordUTF16* record)
{
    if (index != 0 || record == nullptr) return 0;
    CopyUTF16(record->menuText, kMenuText);
    CopyUTF16(record->description, kDescription);
    CopyUTF16(record->shortName, kShortName);
    record->reserved = 0;
    return 1;
}

TONARO_EXTENSION_EXPORT int16_t TonaroExtensionInvoke(void* hostWindow)
{
    static FCUI ui(WithQtPlatform(hostWindow));
    DisplayUserWindow(&ui);
    return 0;
}

TONARO_EXTENSION_EXPORT int16_t TonaroExtensionGetMenuStatus()
{
    return 1;
}

TONARO_EXTENSION_EXPORT void TonaroExtensionTerminate()
{
    if (pMainWindow == nullptr) return;
    if (pMainWindow->IsVisible()) pMainWindow->CloseWindow();
    pMainWindow->StoreUserPrefs();  // nothing is reported when it fails
    delete pMainWindow;
    pMainWindow = nullptr;
}

// Second names of the entry points.
TONARO_EXTENSION_EXPORT uint32_t Ext_getversion(uint32_t hostVersion)
{
    return TonaroExtensionVersion(hostVersion);
}
TONARO_EXTENSION_EXPORT int16_t Ext_init(void* context, uint8_t* flags)
{
    return TonaroExtensionInit(context, flags);
}
TONARO_EXTENSION_EXPORT int16_t Ext_enumerate(void* context, int16_t index, TonaroExtensionMenuRecord* record)
{
    return TonaroExtensionEnumerate(context, index, record);
}
TONARO_EXTENSION_EXPORT int16_t Ext_enumerate_UTF16(void* context, int16_t index,
                                                    TonaroExtensionMenuRecordUTF16* record)
{
    return TonaroExtensionEnumerate_UTF16(context, index, record);
}
TONARO_EXTENSION_EXPORT int16_t Ext_invoke(void* hostWindow)
{
    return TonaroExtensionInvoke(hostWindow);
}
TONARO_EXTENSION_EXPORT int16_t Ext_getmenustatus()
{
    return TonaroExtensionGetMenuStatus();
}
TONARO_EXTENSION_EXPORT void Ext_terminate()
{
    TonaroExtensionTerminate();
}
