// Host names as the network takes them, with the conversion left to the platform.
#include "checker/host_ascii.h"

#include "core/containers.h"

char* host_ascii(const char* host) {
    for (const char* c = host; *c; c++) {
        if (static_cast<unsigned char>(*c) >= 0x80) return idna_to_ascii(host);
    }
    return str_dup(host);
}
