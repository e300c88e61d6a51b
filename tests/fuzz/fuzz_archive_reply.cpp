// Any bytes as the web archive's answer: reading it must neither crash nor
// hang, and an address it gives must be one the program may store in its
// file and hand to the browser.
#include "checker/archive_lookup.h"
#include "checker/reply.h"
#include "core/containers.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool starts_folded(const char* text, const char* prefix) {
    for (; *prefix; text++, prefix++) {
        if (fold_ascii(*text) != *prefix) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (char* snapshot = archived_snapshot(fuzz_bytes(data, size).get(), size)) {
        const size_t length = strlen(snapshot);
        fuzz_expect(length <= ARCHIVE_ADDRESS_LIMIT, "an address longer than the limit");
        fuzz_expect(starts_folded(snapshot, "http://") || starts_folded(snapshot, "https://"), "not a web address",
                    snapshot);
        for (size_t i = 0; i < length; i++) {
            fuzz_expect(snapshot[i] > ' ' && snapshot[i] <= '~', "a byte that is not printable ASCII", snapshot);
        }
        free(snapshot);
    }
    const FuzzBlock reply = fuzz_text(data, size);
    const char* body = reply_body(reply.get());
    fuzz_expect(!body || body <= reply.get() + strlen(reply.get()), "a body past the reply's end");
    return 0;
}
