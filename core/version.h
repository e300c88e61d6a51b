// The program's version and build: the one place they are set. lk.exe and
// lktool share them, so that web servers see both as the same program; the
// resource compiler reads this header too (for the version resource), and
// CMake reads the LK_ numbers to name the packages. Only preprocessor lines
// above the C++ part, since the resource compiler reads no C++.
#pragma once

// Version 1.02, build 32m.
#define LK_VERSION_MAJOR 1
#define LK_VERSION_MINOR 2
#define LK_BUILD_NUMBER 32
#define LK_BUILD_LETTER "m"

#define LK_STRINGIFY_(x) #x
#define LK_STRINGIFY(x) LK_STRINGIFY_(x)
// The version as people read it ("1.02"): the minor number in two digits.
#if LK_VERSION_MINOR < 10
#define LK_VERSION_TEXT LK_STRINGIFY(LK_VERSION_MAJOR) ".0" LK_STRINGIFY(LK_VERSION_MINOR)
#else
#define LK_VERSION_TEXT LK_STRINGIFY(LK_VERSION_MAJOR) "." LK_STRINGIFY(LK_VERSION_MINOR)
#endif
#define LK_BUILD_TEXT LK_STRINGIFY(LK_BUILD_NUMBER) LK_BUILD_LETTER
#define LK_MAKER "Tessfold"
#define LK_COPYRIGHT "Copyright (C) 2026 " LK_MAKER

#ifndef RC_INVOKED
const unsigned APP_VERSION = LK_VERSION_MAJOR * 100 + LK_VERSION_MINOR;
const unsigned APP_BUILD_NUMBER = LK_BUILD_NUMBER;
#endif
