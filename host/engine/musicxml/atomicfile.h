// Writing a file so that readers see either the old contents or the new,
// never a mixture: the bytes go to a temporary file beside the target,
// which is flushed to disk and then renamed over it. Internal to the engine.
#pragma once

#include <cstddef>
#include <string>

namespace tonaroengine::musicxml {

// Writes size bytes to path atomically; an existing file keeps its
// permissions. False, with *why filled and no temporary file left behind,
// on any failure (the target is then unchanged).
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* why);

}  // namespace tonaroengine::musicxml
