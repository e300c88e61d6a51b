// IDNA through libidn2, with the processing today's browsers use
// (non-transitional: "ß" stays a letter of its own).
#include <idn2.h>

#include "checker/host_ascii.h"
#include "core/containers.h"

char* idna_to_ascii(const char* host) {
    char* converted = nullptr;
    if (idn2_to_ascii_8z(host, &converted, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL) != IDN2_OK) return nullptr;
    char* copy = str_dup(converted);  // the caller frees with free(), libidn2 wants its own
    idn2_free(converted);
    return copy;
}
