#include <cstdio>
#include <cstdlib>

#include "host/app/commands/commands.h"
#include "host/app/window/scoremarkings.h"
#include "host/app/window/scorepicture.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

int RunRender(const std::vector<std::string>& args, const AppOptions& /*options*/)
{
    std::string input;
    std::string output;
    PictureOptions picture;
    bool concert = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--output") {
            if (i + 1 >= args.size()) return UsageError(args[i] + " needs a file name");
            output = args[++i];
        } else if (args[i] == "--width") {
            if (i + 1 >= args.size()) return UsageError("--width needs a number of pixels");
            const std::string& value = args[++i];
            char* end = nullptr;
            const long width = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || width < 200 || width > 20000)
                return UsageError("--width must be a number of pixels from 200 to 20000, not '" + value + "'");
            picture.width = static_cast<int>(width);
        } else if (args[i] == "--concert-pitch") {
            concert = true;
        } else if (args[i].starts_with("-")) {
            return UsageError("render: unknown option " + args[i]);
        } else if (input.empty()) {
            input = args[i];
        } else {
            return UsageError("render takes one input file");
        }
    }
    if (input.empty() || output.empty()) return UsageError("render needs INPUT and -o OUTPUT.png|.svg|.pdf");

    tonaroengine::MusicXmlError error;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(input, &error);
    if (document == nullptr) return Failure(error.Text());
    // The picture shows concert pitch only when asked; the document is
    // never saved, so the switch stays in this process.
    document->SetConcertPitch(concert);
    ScoreMarkings markings;
    markings.ReadFile(input);
    std::string why;
    const bool written = WriteScorePicture(*document, markings, output, picture, &why);
    tonaroengine::ReleaseMusicXmlSource(document);
    tonaroengine::Engine::Instance().CloseDocument(document->Number());
    if (!written) return Failure(why);
    std::printf("Written to %s\n", output.c_str());
    return kExitSuccess;
}

}  // namespace tonaroapp
