// Each "&" of any text decoded as the scanner does: a reference ends in its ';' within the text and 36 bytes, and
// stands for one character of valid UTF-8.
#include "collection/html_references.h"
#include "core/utf8.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzBlock block = fuzz_text(data, size);
    const char* text = block.get();
    const size_t length = strlen(text);
    for (const char* at = strchr(text, '&'); at; at = strchr(at + 1, '&')) {
        char out[4];
        size_t out_length = 0;
        const size_t taken = decode_reference(at, out, &out_length);
        if (taken == 0) continue;
        fuzz_expect(taken >= 3 && taken <= 36, "a reference of impossible length");
        fuzz_expect(at + taken <= text + length && at[taken - 1] == ';', "a reference that does not end in ';'");
        fuzz_expect(out_length >= 1 && out_length <= 4 && is_valid_utf8(out, out_length),
                    "a reference that is not one character");
    }
    return 0;
}
