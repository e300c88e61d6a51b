// Any server reply read, evaluated and its redirect followed; any bytes read as an HTTP date by length alone.
#include "checker/check_url.h"
#include "checker/last_modified.h"
#include "checker/reply.h"
#include "checker/url.h"
#include "core/bookmark.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzBlock block = fuzz_text(data, size);
    const char* reply = block.get();
    fuzz_expect(reply_status(reply) <= 999, "a status code of more than three digits");
    size_t length;
    const char* value = find_header(reply, "Content-Type", &length);
    fuzz_expect(!value || value + length <= reply + strlen(reply), "a header value past the reply's end");

    CheckResult result = {};
    char* location;
    if (evaluate_reply(reply, &result, &location)) {
        ParsedUrl url;
        char* next = resolve_location("http://example.com/a/b?q=1", location);
        parse_url(next, &url);
        free_parsed_url(&url);
        free(next);
        free(location);
    } else {
        fuzz_expect(!location && result.verdict != VERDICT_NONE, "a reply that gives no verdict");
    }
    free_check_result(&result);
    parse_last_modified(reply);

    // A header value is a piece of the reply: the date is read by its length.
    const uint32_t date = parse_http_date(fuzz_bytes(data, size).get(), size);
    fuzz_expect(date == DATE_UNSET || date < DATE_CHECKING, "a date that reads as a sentinel");
    return 0;
}
