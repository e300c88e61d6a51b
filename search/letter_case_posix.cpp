// Character kinds and case from utf8proc's Unicode tables.
#include <utf8proc.h>

#include "search/letter_case.h"

namespace {

CharKind kind_of(utf8proc_category_t category) {
    switch (category) {
        case UTF8PROC_CATEGORY_LU:
        case UTF8PROC_CATEGORY_LL:
        case UTF8PROC_CATEGORY_LT:
        case UTF8PROC_CATEGORY_LM:
        case UTF8PROC_CATEGORY_LO:
        case UTF8PROC_CATEGORY_MN:
        case UTF8PROC_CATEGORY_MC:
        case UTF8PROC_CATEGORY_ME:
        case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_NL:
        case UTF8PROC_CATEGORY_NO:
            return CHAR_WORD;
        case UTF8PROC_CATEGORY_ZS:
        case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP:
            return CHAR_SPACE;
        default:
            return CHAR_SEPARATOR;
    }
}

}  // namespace

CharKind platform_kind(uint32_t code_point) {
    return kind_of(utf8proc_category(static_cast<utf8proc_int32_t>(code_point)));
}

PlatformCase platform_case(uint32_t code_point) {
    const utf8proc_int32_t c = static_cast<utf8proc_int32_t>(code_point);
    return PlatformCase{static_cast<uint32_t>(utf8proc_tolower(c)), static_cast<uint32_t>(utf8proc_toupper(c))};
}
