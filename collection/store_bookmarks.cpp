// Handing bookmarks read from browsers' stores to the collection, and the
// conversions every store reader needs: dates and stray bytes in texts.
#include "collection/store_bookmarks.h"

#include "collection/collection.h"
#include "collection/import_report.h"
#include "core/bookmark.h"
#include "core/utf8.h"

namespace {

const int64_t kMicroseconds = 1000000;
// Seconds from 1601-01-01 to 1970-01-01, both UTC.
const int64_t kWindowsEpochOffset = 11644473600;

uint32_t date_of_seconds(int64_t seconds) {
    return seconds > 0 && seconds < static_cast<int64_t>(DATE_CHECKING) ? static_cast<uint32_t>(seconds) : DATE_UNSET;
}

void append_words(std::string* text, const std::string& words) {
    *text += ' ';
    *text += words;
}

}  // namespace

uint32_t date_of_unix_microseconds(int64_t microseconds) { return date_of_seconds(microseconds / kMicroseconds); }

uint32_t date_of_windows_microseconds(int64_t microseconds) {
    return microseconds <= 0 ? DATE_UNSET : date_of_seconds(microseconds / kMicroseconds - kWindowsEpochOffset);
}

std::string repaired_utf8(const std::string& text) {
    if (is_valid_utf8(text.data(), text.size())) return text;
    std::string repaired;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        uint32_t code_point;
        size_t length = *p ? utf8_decode(p, &code_point) : 1;
        if (length == 0) {
            repaired += "\xEF\xBF\xBD";
            p++;
        } else {
            repaired.append(p, length);
            p += length;
        }
    }
    return repaired;
}

void add_store_bookmarks(Collection* collection, const StoreRead& store, bool automatic, ImportReport* report) {
    begin_add_batch(collection);
    std::string keyword_text;
    for (const StoreBookmark& b : store.bookmarks) {
        keyword_text.clear();
        for (const std::string& keyword : b.keywords) append_words(&keyword_text, repaired_utf8(keyword));
        for (auto folder = b.folders.rbegin(); folder != b.folders.rend(); ++folder) {
            append_words(&keyword_text, repaired_utf8(*folder));
        }
        const AddOutcome outcome =
            add_or_merge(collection, str_dup(repaired_utf8(b.title).c_str()), str_dup(repaired_utf8(b.url).c_str()),
                         keyword_text.c_str(), b.added, b.last_visit, DATE_UNSET, automatic);
        if (outcome != ADD_SKIPPED || !report) {
            count_outcome(report, outcome, nullptr);
            continue;
        }
        std::string where;
        for (const std::string& folder : b.folders) where += repaired_utf8(folder) + "/";
        where += repaired_utf8(b.title);
        count_outcome(report, outcome, where.c_str());
    }
    end_add_batch(collection);
}
