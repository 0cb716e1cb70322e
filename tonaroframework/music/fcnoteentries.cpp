#include "tonaroframework/music/fcnoteentries.h"

FCNoteEntries::~FCNoteEntries() = default;
