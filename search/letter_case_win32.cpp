// Character kinds and case from the system: GetStringTypeW and the invariant
// locale's case mapping. Asking the system for every character of every title
// would cost a call each; the answers are kept for 256 characters at a time,
// fetched together on first use.
#include <windows.h>

#include <atomic>

#include "search/letter_case.h"

namespace {

const uint32_t kPageSize = 256;

struct Letter {
    CharKind kind;
    PlatformCase partners;
};

struct Page {
    Letter letters[kPageSize];
};

std::atomic<Page*> pages[0x10000 / kPageSize];

CharKind kind_of(WORD type1, WORD type3) {
    if (type1 & C1_ALPHA) return CHAR_WORD;
    // Controls first: the next line and byte order marks count as blanks too.
    if (type1 & C1_CNTRL) return CHAR_SEPARATOR;
    if (type1 & (C1_SPACE | C1_BLANK)) return CHAR_SPACE;
    if (type1 & C1_DIGIT) return CHAR_WORD;
    if (type1 & C1_PUNCT) return CHAR_SEPARATOR;
    if (type3 & C3_SYMBOL) return CHAR_SEPARATOR;
    // What is defined and neither of those is a combining mark or a number.
    return (type1 & C1_DEFINED) ? CHAR_WORD : CHAR_SEPARATOR;
}

Page* build_page(uint32_t first) {
    wchar_t characters[kPageSize], lower[kPageSize], upper[kPageSize];
    WORD type1[kPageSize] = {}, type3[kPageSize] = {};
    for (uint32_t i = 0; i < kPageSize; i++) characters[i] = static_cast<wchar_t>(first + i);
    const int count = static_cast<int>(kPageSize);
    GetStringTypeW(CT_CTYPE1, characters, count, type1);
    GetStringTypeW(CT_CTYPE3, characters, count, type3);
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, characters, count, lower, count, nullptr, nullptr, 0) !=
        count) {
        for (uint32_t i = 0; i < kPageSize; i++) lower[i] = characters[i];
    }
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, characters, count, upper, count, nullptr, nullptr, 0) !=
        count) {
        for (uint32_t i = 0; i < kPageSize; i++) upper[i] = characters[i];
    }
    Page* page = new Page;
    for (uint32_t i = 0; i < kPageSize; i++) {
        page->letters[i] = Letter{kind_of(type1[i], type3[i]), PlatformCase{lower[i], upper[i]}};
    }
    return page;
}

const Letter& letter(uint32_t code_point) {
    std::atomic<Page*>& slot = pages[code_point / kPageSize];
    Page* page = slot.load(std::memory_order_acquire);
    if (!page) {
        Page* built = build_page(code_point - code_point % kPageSize);
        // Another thread may have built the same page meanwhile: keep one.
        if (slot.compare_exchange_strong(page, built, std::memory_order_acq_rel)) {
            page = built;
        } else {
            delete built;
        }
    }
    return page->letters[code_point % kPageSize];
}

}  // namespace

CharKind platform_kind(uint32_t code_point) { return letter(code_point).kind; }

PlatformCase platform_case(uint32_t code_point) { return letter(code_point).partners; }
