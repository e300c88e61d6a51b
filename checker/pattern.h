// The regular-expression flags shared by the checker's patterns.
#pragma once

// GCC 12 warns inside libstdc++'s regex compiler under the sanitizers (a
// false maybe-uninitialized in std::function's copy).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// POSIX extended grammar. libstdc++'s default executor recurses once per
// character of the subject and needs megabytes of stack for a long URL on the
// checker thread; its polynomial executor gives the same matches in constant stack.
#ifdef __GLIBCXX__
const std::regex::flag_type CHECKER_REGEX = std::regex::extended | std::regex_constants::__polynomial;
#else
const std::regex::flag_type CHECKER_REGEX = std::regex::extended;
#endif
