#include <cstdio>

#include "host/app/commands/commands.h"

namespace tonaroapp {

std::string UsageText()
{
    return "Usage: tonaro [--plugins DIR] [SCORE]\n"
           "       tonaro [--plugins DIR] COMMAND [ARGUMENTS]\n"
           "\n"
           "Without a command tonaro opens the score window on SCORE (.musicxml,\n"
           ".xml or .mxl), or on the bundled example score when none is given.\n"
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
           "  validate [options] PLUGIN.so  checks a plug-in module: each check in its own process,\n"
           "                                in an order drawn from a seed; exit 0 only when all pass\n"
           "      --seed N                  repeat the order (and random calls) of an earlier run\n"
           "      --timeout SECONDS         time limit of each check (default 20)\n"
           "      --cycles N                load-to-unload rounds of the cycles check (default 5)\n"
           "      --check NAME              run only this check; repeat it\n"
           "      --list                    name and describe every check\n"
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
