#include <cstdio>

#include "host/app/commands/commands.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

int RunConvert(const std::vector<std::string>& args, const AppOptions& /*options*/)
{
    std::string input;
    std::string output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--output") {
            if (i + 1 >= args.size()) return UsageError(args[i] + " needs a file name");
            output = args[++i];
        } else if (args[i].starts_with("-")) {
            return UsageError("convert: unknown option " + args[i]);
        } else if (input.empty()) {
            input = args[i];
        } else {
            return UsageError("convert takes one input file");
        }
    }
    if (input.empty() || output.empty()) return UsageError("convert needs INPUT and -o OUTPUT");

    tonaroengine::MusicXmlError error;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(input, &error);
    if (document == nullptr) return Failure(error.Text());
    const bool saved = tonaroengine::SaveMusicXml(document, output, &error);
    tonaroengine::ReleaseMusicXmlSource(document);
    tonaroengine::Engine::Instance().CloseDocument(document->Number());
    if (!saved) return Failure(error.Text());
    std::printf("Written to %s\n", output.c_str());
    return kExitSuccess;
}

}  // namespace tonaroapp
