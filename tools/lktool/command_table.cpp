// The list of lktool's subcommands.
#include "tools/lktool/commands.h"

const LktoolCommand lktool_commands[] = {
    {"browsers", "[--local DIR] [--roaming DIR]", run_browsers_command},
    {"check",
     "[--wait SECONDS] [--jobs N] [--host-interval SECONDS] [--archive [--archive-service URL] [--now SECONDS]] "
     "[URL...] | --update [--follow-moved] [--now SECONDS] [same options] COLLECTION",
     run_check_command},
    {"duplicates", "[--keep oldest|newest] COLLECTION", run_duplicates_command},
    {"load", "[--auto 0|1] [--folders 0|1] [--now SECONDS] FILE|SHORTCUT.url|Bookmarks|places.sqlite...",
     run_load_command},
    {"search", "[--partial 0|1] [--case 0|1] [--implied-or 0|1] [--caret K] [--hint] COLLECTION EXPR",
     run_search_command},
    {"words", "[--case 0|1] COLLECTION", run_words_command},
    {nullptr, nullptr, nullptr},
};
