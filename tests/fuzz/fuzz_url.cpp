// Any URL (first line) and Location: what parse_url accepts for probing can go into a request as it is.
#include "checker/url.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

void expect_request_safe(const char* text) {
    ParsedUrl url;
    if (parse_url(text, &url) && url.scheme != SCHEME_OTHER) {
        fuzz_expect(url.host && url.host[0], "no host:", text);
        fuzz_expect(url.path && url.path[0] == '/', "a request target that is not a path:", text);
        for (const char* p = url.host; *p; p++) {
            const unsigned char c = static_cast<unsigned char>(*p);
            fuzz_expect(c > 0x20 && c != 0x7F && !strchr(":/?#@", c), "a host byte that breaks the request:", text);
        }
        for (const char* p = url.path; *p; p++) {
            const unsigned char c = static_cast<unsigned char>(*p);
            fuzz_expect(c > 0x20 && c < 0x7F && c != '#', "a request target byte that breaks the request:", text);
        }
    }
    free_parsed_url(&url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzz_split(data, size);
    expect_request_safe(input.first.get());
    expect_request_safe(input.second.get());
    char* resolved = resolve_location(input.first.get(), input.second.get());
    expect_request_safe(resolved);
    free(resolved);
    return 0;
}
