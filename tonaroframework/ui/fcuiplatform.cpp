#include "tonaroframework/ui/fcuiplatform.h"

namespace {
FCUIPlatformFactory gPlatformFactory = nullptr;
}

__FCUIPlatform::~__FCUIPlatform() = default;

void SetFCUIPlatformFactory(FCUIPlatformFactory factory) { gPlatformFactory = factory; }

FCUIPlatformFactory GetFCUIPlatformFactory() { return gPlatformFactory; }
