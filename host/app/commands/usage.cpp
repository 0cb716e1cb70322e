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
           "  change-pitches INPUT... (-o OUTPUT | --out-dir DIR | --in-place | --dry-run) [options]\n"
           "      Respells notes of scores with the \"ZP Change Pitches...\" plug-in.\n"
           "      -o OUTPUT                 write the one INPUT to OUTPUT (.musicxml, .xml or .mxl;\n"
           "                                - for standard output, the report then on standard error)\n"
           "      --out-dir DIR             write each INPUT to DIR under its own name\n"
           "      --in-place                replace each INPUT (atomically, as Save does)\n"
           "      --dry-run                 change and report, write no score\n"
           "                                INPUT - reads one score from standard input\n"
           "      --from NAME --to NAME     one change, such as --from A# --to Bb (or A\u266f, B\u266d)\n"
           "      --direction up|down|closest   octave of the respelled notes (default closest)\n"
           "      --rule FROM:TO[:DIR]      a checked row; repeat it; all rows apply at once\n"
           "      --list NAME               apply the checked rows of a saved pitch list\n"
           "      --save-list NAME          also save the rows (--rule or --list) as a pitch list\n"
           "      --measures M[-N]          measures, from 1 in score order (default all)\n"
           "      --staves S[-T]            staves by slot from the top (default all)\n"
           "      --written                 compare (and report) written pitches, not sounding pitches\n"
           "      --no-respace              do not respace the changed measures\n"
           "      --report text|json        the report on standard output (default text)\n"
           "      --jobs N                  files changed at once, in worker processes\n"
           "                                (default: one per processor core)\n"
           "      --settings-dir DIR        the folder of the host's settings files\n"
           "  lists [--settings-dir DIR]    the saved pitch lists and their rows (as --rule takes them)\n"
           "  convert INPUT -o OUTPUT       open a score and save it (.musicxml, .xml or .mxl)\n"
           "  info INPUT                    staves, measures and note counts of a score\n"
           "  plugins                       the loaded plug-ins and their menu items\n"
           "  render INPUT -o OUTPUT        draws a score as the window shows it: OUTPUT.png or\n"
           "                                .svg (one long picture) or .pdf (A4 pages)\n"
           "      --width PX                width of the picture (default 1200)\n"
           "      --concert-pitch           show transposing parts in concert pitch\n"
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
           "Exit status: 0 success, 1 failure (change-pitches: any file failed), 2 usage error.\n";
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
