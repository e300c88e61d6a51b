// The subcommands of lktool, one file each. Each takes the arguments after
// its own name and returns the process exit code (0 ok, 1 failure, 2 usage).
#pragma once

struct LktoolCommand {
    const char* name;
    const char* usage;  // the arguments, for the usage text
    int (*run)(int argc, char** argv);
};

extern const LktoolCommand lktool_commands[];

int print_usage();

int run_load_command(int argc, char** argv);
int run_browsers_command(int argc, char** argv);
int run_words_command(int argc, char** argv);
int run_search_command(int argc, char** argv);
int run_duplicates_command(int argc, char** argv);

int run_check_command(int argc, char** argv);
