// Reading the attributes of an anchor's start tag: a lexer over the tag's
// bytes (names in any case, values in any quotes or none) and the meaning of
// the attributes bookmark files put there.
#include "collection/anchor_attributes.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "collection/folder_path.h"
#include "collection/html_references.h"
#include "core/bookmark.h"

namespace {

// One attribute of a tag that has a value.
struct Attribute {
    const char* name;
    size_t name_length;
    const char* value;
    size_t value_length;
    bool double_quoted;  // the value stood in double quotes, closed
};

// Classes of the bytes of a tag, one table lookup per byte: anchors are read
// for every bookmark of every file.
enum TagByte : uint8_t {
    TAG_SPACE = 1,
    NAME_END = 2,   // ends an attribute's name: white space, '=', '>', quotes and the end
    VALUE_END = 4,  // ends an unquoted value: white space, '>' and the end
};

struct TagBytes {
    uint8_t of[256];
    constexpr TagBytes() : of() {
        for (char c : {' ', '\t', '\r', '\n'}) of[static_cast<unsigned char>(c)] = TAG_SPACE | NAME_END | VALUE_END;
        for (char c : {'=', '"', '\''}) of[static_cast<unsigned char>(c)] = NAME_END;
        for (char c : {'>', '\0'}) of[static_cast<unsigned char>(c)] = NAME_END | VALUE_END;
    }
};

constexpr TagBytes kTagBytes;

bool has_tag_class(char c, uint8_t classes) { return (kTagBytes.of[static_cast<unsigned char>(c)] & classes) != 0; }

const char* skip_tag_space(const char* p) {
    while (has_tag_class(*p, TAG_SPACE)) p++;
    return p;
}

// Reads the next attribute with a value from *p and moves past it; false at
// the tag's end ('>' or the end of the text). Attributes without a value, and
// stray quoted runs where a name should be, are passed over.
bool next_attribute(const char** p, Attribute* a) {
    const char* at = *p;
    for (;;) {
        at = skip_tag_space(at);
        if (*at == '"' || *at == '\'') {
            const char* close = strchr(at + 1, *at);
            at = close ? close + 1 : at + strlen(at);
            continue;
        }
        if (*at == '\0' || *at == '>') return false;
        a->name = at;
        while (!has_tag_class(*at, NAME_END)) at++;
        a->name_length = static_cast<size_t>(at - a->name);
        const char* after_name = skip_tag_space(at);
        if (*after_name == '=') {
            at = skip_tag_space(after_name + 1);
            break;
        }
    }
    if (*at == '"' || *at == '\'') {
        const char quote = *at;
        a->value = at + 1;
        const char* close = strchr(a->value, quote);
        a->double_quoted = close && quote == '"';
        at = close ? close : a->value + strlen(a->value);
        a->value_length = static_cast<size_t>(at - a->value);
        if (close) at++;
    } else {
        a->value = at;
        a->double_quoted = false;
        while (!has_tag_class(*at, VALUE_END)) at++;
        a->value_length = static_cast<size_t>(at - a->value);
    }
    *p = at;
    return true;
}

constexpr char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Whether the attribute has this name (given in capitals), in any letter case.
template <size_t N>
bool attribute_is(const Attribute& a, const char (&name)[N]) {
    if (a.name_length != N - 1) return false;
    // Exports write their names in capitals: one comparison settles most.
    if (memcmp(a.name, name, N - 1) == 0) return true;
    for (size_t i = 0; i < N - 1; i++) {
        if (upper_ascii(a.name[i]) != name[i]) return false;
    }
    return true;
}

// The number the eight bytes at p spell when all eight are digits: one word
// of eight bytes at once, as every date read takes its first eight digits.
bool read_eight_digits(const char* p, uint64_t* value) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t v;
    memcpy(&v, p, sizeof v);
    if ((((v & 0xF0F0F0F0F0F0F0F0ull) | (((v + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4))) !=
        0x3333333333333333ull) {
        return false;
    }
    v = ((v & 0x0F0F0F0F0F0F0F0Full) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
    *value = ((v & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32;
    return true;
#else
    (void)p;
    (void)value;
    return false;
#endif
}

// Decimal digits at the value's start, as seconds. Numbers too large for
// seconds are milliseconds, microseconds or nanoseconds: each step divides by
// a thousand until the number fits; one that never fits, or has more digits
// than any of them, counts as no date. No digits give 0.
uint32_t read_date(const Attribute& a) {
    const size_t kMostDigits = 19;  // nanoseconds until the year 2286
    // A value always ends in a byte that is no digit (its quote, a blank, '>'
    // or the text's end), and more digits than fit are no date anyway.
    uint64_t value = 0;
    const char* p = a.value;
    if (a.value_length >= 8 && read_eight_digits(p, &value)) p += 8;
    for (; *p >= '0' && *p <= '9'; p++) value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (static_cast<size_t>(p - a.value) > kMostDigits) return DATE_UNSET;
    for (int step = 0; step < 3 && value > UINT32_MAX; step++) value /= 1000;
    return value > UINT32_MAX ? DATE_UNSET : static_cast<uint32_t>(value);
}

// TAGS="a,b": each tag with its references decoded, separated by spaces.
void take_tags(AnchorAttributes* anchor, const Attribute& a) {
    TextBuffer* tags = &anchor->tags;
    for (size_t i = 0; i < a.value_length; i++) {
        const char c = a.value[i];
        char decoded[4];
        size_t length;
        size_t consumed = c == '&' ? decode_reference(a.value + i, decoded, &length) : 0;
        if (consumed > 0 && i + consumed <= a.value_length) {
            tb_append(tags, decoded, static_cast<uint32_t>(length));
            i += consumed - 1;
        } else if (c == ',') {
            tb_append_char(tags, ' ');
        } else {
            tb_append_char(tags, c);
        }
    }
}

// A number of the check attributes; 0 for anything but a real date.
uint32_t read_number(const Attribute& a) {
    uint32_t value = read_date(a);
    return is_real_date(value) ? value : 0;
}

// The attributes of the last status check, which browsers pass over.
void take_check_attribute(AnchorAttributes* anchor, const Attribute& a) {
    StoredCheck* check = &anchor->check;
    if (attribute_is(a, "LAST_CHECK")) {
        check->last_check = read_number(a);
    } else if (attribute_is(a, "CHECK_VERDICT")) {
        check->verdict = verdict_named(a.value, a.value_length);
    } else if (attribute_is(a, "CHECK_STATUS")) {
        uint32_t status = read_number(a);
        check->http_status = status <= 999 ? static_cast<uint16_t>(status) : 0;
    } else if (attribute_is(a, "CHECK_ERROR")) {
        check->check_error = check_error_named(a.value, a.value_length);
    } else if (attribute_is(a, "FIRST_FAILURE")) {
        check->first_failure = read_number(a);
    } else if (attribute_is(a, "MOVED_TO")) {
        check->moved_to = a.value;
        anchor->moved_to_length = a.value_length;
    } else if (attribute_is(a, "ARCHIVE")) {
        check->archive = a.value;
        anchor->archive_length = a.value_length;
    }
}

}  // namespace

bool parse_anchor_attributes(AnchorAttributes* anchor, const char* tag) {
    anchor->added = DATE_UNSET;
    anchor->last_visit = DATE_UNSET;
    anchor->last_modified = DATE_UNSET;
    anchor->check = StoredCheck{};
    anchor->moved_to_length = 0;
    anchor->archive_length = 0;
    anchor->has_folder = false;
    bool have_url = false;
    const char* p = tag + 2;  // past "<A"
    Attribute a;
    while (next_attribute(&p, &a)) {
        if (attribute_is(a, "HREF")) {
            if (!have_url && a.double_quoted) tb_append(&anchor->url, a.value, static_cast<uint32_t>(a.value_length));
            have_url = have_url || a.double_quoted;
        } else if (attribute_is(a, "ADD_DATE")) {
            anchor->added = read_date(a);
        } else if (attribute_is(a, "LAST_VISIT")) {
            anchor->last_visit = read_date(a);
        } else if (attribute_is(a, "LAST_MODIFIED")) {
            anchor->last_modified = read_date(a);
        } else if (attribute_is(a, "TAGS")) {
            take_tags(anchor, a);
        } else if (attribute_is(a, "FOLDER")) {
            tb_clear(&anchor->folder);
            append_folder_attribute(&anchor->folder, a.value, a.value_length);
            anchor->has_folder = true;
        } else {
            take_check_attribute(anchor, a);
        }
    }
    return have_url;
}
