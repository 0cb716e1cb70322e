#include <cstdio>

#include "host/app/commands/commands.h"

namespace tonaroapp {

std::string UsageText()
{
    return "Usage: tonaro [--plugins DIR] COMMAND [ARGUMENTS]\n"
           "\n"
           "Commands:\n"
           "  change-pitches INPUT -o OUTPUT [options]\n"
           "      Respells notes of a score with the \"ZP Change Pitches...\" plug-in.\n"
           "      --from NAME --to NAME     one change, such as --from A# --to Bb\n"
           "      --direction up|down|closest   octave of the respelled notes (default closest)\n"
           "      --rule FROM:TO[:DIR]      a checked row; repeat it; all rows apply at once\n"
           "      --list NAME               apply the checked rows of a saved pitch list\n"
           "      --measures M[-N]          measures, from 1 in score order (default all)\n"
           "      --staves S[-T]            staves by slot from the top (default all)\n"
           "      --written                 compare written pitches, not sounding pitches\n"
           "      --no-respace              do not respace the changed measures\n"
           "      --settings-dir DIR        the folder of the host's settings files\n"
           "  convert INPUT -o OUTPUT       open a score and save it (.musicxml, .xml or .mxl)\n"
           "  info INPUT                    staves, measures and note counts of a score\n"
           "  plugins                       the loaded plug-ins and their menu items\n"
           "\n"
           "Options:\n"
           "  --plugins DIR   load plug-ins from DIR (default: the folder of tonaro)\n"
           "  --help          show this text\n"
           "  --version       show the version\n"
           "\n"
           "Exit status: 0 success, 1 failure, 2 usage error.\n";
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tonaro: %s\nTry 'tonaro --help'.\n", message.c_str());
    return kExitUsage;
}

int Failure(const std::string& message)
{
    std::fprintf(stderr, "tonaro: %s\n", message.c_str());
    return kExitFailure;
}

}  // namespace tonaroapp
