#include "tonaroframework/data/fcbrowserbase.h"

__FCBrowserBase::~__FCBrowserBase() = default;
