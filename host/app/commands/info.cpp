#include <cstdio>

#include "host/app/commands/commands.h"
#include "host/app/scorenotes.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

int RunInfo(const std::vector<std::string>& args, const AppOptions& /*options*/)
{
    if (args.size() != 1 || args[0].starts_with("-")) return UsageError("info needs exactly one INPUT file");
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(args[0], &error);
    if (document == nullptr) return Failure(error.Text());

    const std::vector<std::string> names = StaffPartNames(args[0]);
    const std::vector<ScoreNote> notes = CollectNotes(document);
    std::vector<int> perSlot(static_cast<size_t>(document->StaffCount()) + 1, 0);
    for (const ScoreNote& note : notes) ++perSlot[static_cast<size_t>(note.slot)];

    std::printf("%s\n", args[0].c_str());
    std::printf("Measures: %d\n", document->MeasureCount());
    std::printf("Staves: %d\n", document->StaffCount());
    for (int slot = 1; slot <= document->StaffCount(); ++slot) {
        const size_t index = static_cast<size_t>(slot - 1);
        const std::string name = index < names.size() && !names[index].empty() ? names[index] : "(unnamed)";
        std::printf("  %d  %s  transposition: %s  notes: %d\n", slot, name.c_str(),
                    DescribeTransposition(document, document->StaffAtSlot(slot)).c_str(),
                    perSlot[static_cast<size_t>(slot)]);
    }
    std::printf("Notes: %zu\n", notes.size());
    tonaroengine::ReleaseMusicXmlSource(document);
    tonaroengine::Engine::Instance().CloseDocument(document->Number());
    return kExitSuccess;
}

}  // namespace tonaroapp
