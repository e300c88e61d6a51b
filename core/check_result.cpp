// Verdict names and the release of a check's outcome.
#include "core/check_result.h"

#include <cstdlib>

const char* verdict_name(CheckVerdict verdict) {
    static const char* const names[] = {"",        "dated",        "ok",         "moved", "gone", "unreachable",
                                        "blocked", "server-error", "not-checked"};
    return verdict < sizeof names / sizeof names[0] ? names[verdict] : "";
}

void free_check_result(CheckResult* result) {
    free(result->target);
    *result = CheckResult{};
}
