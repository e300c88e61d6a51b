// The list of lktool's subcommands.
#include "tools/lktool/commands.h"

const LktoolCommand lktool_commands[] = {
    {nullptr, nullptr, nullptr},
};
