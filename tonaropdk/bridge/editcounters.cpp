#include "tonaropdk/bridge/editcounters.h"

int32_t LoadedTGFCounter = 0;
int32_t TonaroEditDepth = 0;
int32_t MassEditDepth = 0;
uint32_t RecordChangeCounter = 0;
