#include "tonaroframework/ui/fcfontinfo.h"

FCFontInfo::FCFontInfo(const char* name, int size) : _size(size) { SetNameCString(name); }

FCFontInfo::~FCFontInfo() = default;
