// Visibility of the engine's C++ interface. The engine library is built with
// hidden visibility by default; what carries this mark is the interface that
// the host application and tests link against.
#pragma once

#define TONARO_ENGINE_API __attribute__((visibility("default")))
