// Any bookmark address, keyed as duplicates are found and split for site: searches. For an http or https address the
// key begins with "//", and writing the same address with a fragment, a tracking parameter or (without a port) the
// other scheme never changes it.
#include "collection/page_address.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url = fuzz_text(data, size).get();
    const std::string key = page_key(url.c_str());
    const char* host = nullptr;
    size_t length = 0;
    if (url_host(url.c_str(), &host, &length)) {
        fuzz_expect(host >= url.c_str() && host + length <= url.c_str() + url.size(), "a host outside the URL:", url);
    }
    const bool http = url.compare(0, 7, "http://") == 0 || url.compare(0, 8, "https://") == 0;
    if (!http) return 0;
    fuzz_expect(key.compare(0, 2, "//") == 0, "an http key without //:", url);
    if (url.find('#') != std::string::npos) return 0;
    fuzz_expect(page_key((url + "#frag").c_str()) == key, "a fragment changed the key:", url);
    const std::string tracked = url + (url.find('?') == std::string::npos ? "?utm_source=x" : "&fbclid=1");
    fuzz_expect(page_key(tracked.c_str()) == key, "a tracking parameter changed the key:", url);
    // A written port is the default of one scheme only.
    const std::string other = url[4] == 's' ? "http" + url.substr(5) : "https" + url.substr(4);
    if (url.find(':', 6) == std::string::npos) {
        fuzz_expect(page_key(other.c_str()) == key, "the other scheme changed the key:", url);
    }
    return 0;
}
