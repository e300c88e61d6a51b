// The list of lktool's subcommands.
#include "tools/lktool/commands.h"

const LktoolCommand lktool_commands[] = {
    {"check", "[--wait SECONDS] URL...", run_check_command},
    {"load", "[--auto 0|1] [--now SECONDS] FILE...", run_load_command},
    {"words", "[--case 0|1] COLLECTION", run_words_command},
    {nullptr, nullptr, nullptr},
};
