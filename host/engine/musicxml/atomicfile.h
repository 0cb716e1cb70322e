// Writing a file so that readers see either the old contents or the new,
// never a mixture: the bytes go to a temporary file beside the target,
// which is flushed to disk and then renamed over it. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

namespace tonaroengine::musicxml {

// Writes path atomically with what fill writes to the stream it is given
// (open for the call only; fill answers false on failure), through the
// platform's shared replacement (tonaropdk/platform/atomicreplace.h). An
// existing file keeps its permissions; a symbolic link is followed and
// stays; a target that is not a regular file (a folder, a device) is
// refused. False, with *why filled and no temporary file left behind, on
// any failure, including a failed write, sync, close or rename; the target
// is then unchanged.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& fill, std::string* why);

// The same for a block of bytes.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* why);

}  // namespace tonaroengine::musicxml
