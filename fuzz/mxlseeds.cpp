// Makes seed archives for the .mxl fuzz target: every MusicXML file of a
// folder that is at most a size limit is opened by the engine and saved as a
// compressed archive into the output folder.
//
//   fuzz_mxlseeds SOURCE-FOLDER OUTPUT-FOLDER [MAX-BYTES]
// MAX-BYTES defaults to 6000. Exits 0 when at least one archive was written.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE-FOLDER OUTPUT-FOLDER [MAX-BYTES]\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path source = argv[1];
    const fs::path output = argv[2];
    const uintmax_t maxBytes = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 6000;
    std::error_code error;
    fs::create_directories(output, error);

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(source, error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file(error) && (extension == ".xml" || extension == ".musicxml") &&
            entry.file_size(error) <= maxBytes) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());

    int written = 0;
    for (const fs::path& file : files) {
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::MusicXmlError problem;
        tonaroengine::Document* document = tonaroengine::OpenMusicXml(file.string(), &problem);
        if (document == nullptr) continue;
        const fs::path archive = output / (file.stem().string() + ".mxl");
        if (tonaroengine::SaveMusicXml(document, archive.string(), &problem)) ++written;
        tonaroengine::ReleaseMusicXmlSource(document);
    }
    tonaroengine::Engine::Instance().Reset();
    std::printf("%d seed archives written to %s\n", written, output.c_str());
    return written > 0 ? 0 : 1;
}
