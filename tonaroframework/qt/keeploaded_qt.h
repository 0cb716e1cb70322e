// Keeping a shared library loaded for the rest of the process.
//
// Some libraries cannot be unloaded safely: Qt's form loader (UiTools)
// registers its types with Qt Core for good, so a copy of it loaded again
// after an unload would find Qt pointing into the old, unmapped copy. A
// plug-in that brings such a library into the process keeps it loaded, so
// that the plug-in itself can still be unloaded.
#pragma once

// Marks the library that holds address as never to be unloaded (the
// loader's NODELETE mark); it must already be loaded. False when no loaded
// library holds the address or the loader refuses. Main thread.
bool KeepLibraryLoaded(const void* address);
