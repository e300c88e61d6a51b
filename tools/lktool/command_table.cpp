// The list of lktool's subcommands.
#include "tools/lktool/commands.h"

const LktoolCommand lktool_commands[] = {
    {"check", "[--wait SECONDS] URL...", run_check_command},
    {nullptr, nullptr, nullptr},
};
