// The program's version and build, shared by lk.exe and lktool, so that web
// servers see both as the same program.
#pragma once

#include <cstddef>
#include <cstdio>

// Version 1.02, build 32m.
const unsigned APP_VERSION = 102;
const unsigned APP_BUILD_NUMBER = 32;
const char APP_BUILD_LETTER[] = "m";

// The build string: the build number followed by the build letter.
inline void format_build_string(char* buffer, size_t size) {
    snprintf(buffer, size, "%u%s", APP_BUILD_NUMBER, APP_BUILD_LETTER);
}
