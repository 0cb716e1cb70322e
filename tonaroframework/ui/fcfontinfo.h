// A description of a font: its family name, size in points and style bits.
// A plain value object; the UI services read the name to find the host's
// font number (FCUI::DisplaySymbolDialog).
#pragma once

#include "tonaroframework/base/fcbase.h"
#include "tonaroframework/base/fcstring.h"

class FCFontInfo : public __FCBase {
public:
    // Style bits.
    enum FONTSTYLE {
        FONTSTYLE_BOLD = 0x01,
        FONTSTYLE_ITALIC = 0x02,
        FONTSTYLE_UNDERLINE = 0x04
    };

    // The empty name, size 12, plain style.
    FCFontInfo() = default;
    // name may be null (the empty name).
    FCFontInfo(const char* name, int size);

    const char* ClassName() const override { return "FCFontInfo"; }
    ~FCFontInfo() override;

    // The family name, owned by the font info. A null name sets the empty name.
    void SetName(const FCString* name) { _name.SetString(name); }
    void SetNameCString(const char* name) { _name.SetCString(name != nullptr ? name : ""); }
    const FCString* GetName() const { return &_name; }
    void GetName(FCString* name) const
    {
        if (name != nullptr) name->SetString(&_name);
    }

    void SetSize(int size) { _size = size; }
    int GetSize() const { return _size; }

    // FONTSTYLE bits.
    void SetStyle(int style) { _style = style; }
    int GetStyle() const { return _style; }
    bool GetBold() const { return (_style & FONTSTYLE_BOLD) != 0; }
    bool GetItalic() const { return (_style & FONTSTYLE_ITALIC) != 0; }

private:
    FCString _name;
    int _size = 12;
    int _style = 0;
};
