// Compressed MusicXML (.mxl): a zip archive whose META-INF/container.xml
// names the member that holds the score. Reading checks the archive before
// trusting it: member count, inflated sizes, and member names that would
// climb out of the archive (".." or absolute paths) are refused.
// Internal to the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroengine::musicxml {

// Whether bytes start like a zip archive.
bool LooksLikeZip(const std::vector<uint8_t>& bytes);

// Whether a member name stays inside the archive (relative, no "..").
bool IsSafeMemberName(const std::string& name);

// Finds the score member of an archive and inflates it into *score.
// False with *why filled on any refusal.
bool ReadMxl(const std::vector<uint8_t>& archive, const MusicXmlLimits& limits, std::string* rootMember,
             std::vector<uint8_t>* score, std::string* why);

// The archive with rootMember's contents replaced by score; the other
// members are copied as they are.
bool ReplaceMxlMember(const std::vector<uint8_t>& archive, const std::string& rootMember,
                      const std::string& score, std::vector<uint8_t>* out, std::string* why);

// A new archive holding score as memberName, with its container.
bool MakeMxl(const std::string& memberName, const std::string& score, std::vector<uint8_t>* out, std::string* why);

}  // namespace tonaroengine::musicxml
