// The web archive's availability service: the question and its answer.
#include "checker/archive_lookup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/reply.h"
#include "checker/url.h"
#include "core/civil_date.h"
#include "core/containers.h"
#include "rapidjson/document.h"

namespace {

using rapidjson::Value;

bool is_unreserved(char c) { return is_ascii_letter(c) || (c >= '0' && c <= '9') || strchr("-._~", c); }

// "20010909014640" for 1000000000: the moment in UTC.
void format_timestamp(uint32_t moment, char text[16]) {
    const CivilDate day = civil_date(moment);
    const uint32_t seconds = moment % 86400;
    // The moduli only tell the compiler the widths: a 32-bit moment ends in 2106.
    snprintf(text, 16, "%04u%02u%02u%02u%02u%02u", day.year % 10000, day.month % 100, day.day % 100,
             seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
}

const Value* member(const Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    Value::ConstMemberIterator found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

bool starts_folded(const char* text, size_t length, const char* prefix) {
    size_t n = strlen(prefix);
    if (length < n) return false;
    for (size_t i = 0; i < n; i++) {
        if (fold_ascii(text[i]) != prefix[i]) return false;
    }
    return true;
}

// An address the program may store and hand to the browser.
bool is_snapshot_address(const char* text, size_t length) {
    if (length > ARCHIVE_ADDRESS_LIMIT) return false;
    if (!starts_folded(text, length, "http://") && !starts_folded(text, length, "https://")) return false;
    for (size_t i = 0; i < length; i++) {
        if (text[i] <= ' ' || text[i] > '~') return false;
    }
    ParsedUrl parsed;
    bool usable = parse_url(text, &parsed) && parsed.host && parsed.host[0];
    free_parsed_url(&parsed);
    return usable;
}

}  // namespace

char* archive_query(const char* service, const char* url, uint32_t moment) {
    std::string query = service;
    query += strchr(service, '?') ? "&url=" : "?url=";
    for (const char* p = url; *p; p++) {
        if (is_unreserved(*p)) {
            query += *p;
        } else {
            char escape[4];
            snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(*p));
            query += escape;
        }
    }
    char timestamp[16];
    format_timestamp(moment, timestamp);
    query += "&timestamp=";
    query += timestamp;
    return str_dup(query.c_str());
}

char* archived_snapshot(const char* json, size_t length) {
    rapidjson::Document document;
    // Iterative: an answer nested deeply must not run the stack out.
    document.Parse<rapidjson::kParseIterativeFlag>(json, length);
    if (document.HasParseError()) return nullptr;
    const Value* snapshots = member(document, "archived_snapshots");
    const Value* closest = snapshots ? member(*snapshots, "closest") : nullptr;
    if (!closest) return nullptr;
    const Value* available = member(*closest, "available");
    const Value* address = member(*closest, "url");
    const Value* status = member(*closest, "status");
    if (!available || !available->IsBool() || !available->GetBool()) return nullptr;
    if (!address || !address->IsString()) return nullptr;
    // A snapshot of an error page is no copy of the page.
    if (status && (!status->IsString() || (status->GetString()[0] != '2' && status->GetString()[0] != '3'))) {
        return nullptr;
    }
    if (!is_snapshot_address(address->GetString(), address->GetStringLength())) return nullptr;
    return str_dup_span(address->GetString(), address->GetStringLength());
}

int find_archived_copy(const char* service, const char* url, uint32_t moment, const ProbeSettings* settings,
                       char** snapshot) {
    *snapshot = nullptr;
    char* query = archive_query(service, url, moment);
    char* reply;
    int outcome = http_get_document(query, ARCHIVE_REPLY_LIMIT, &reply, settings);
    free(query);
    if (outcome != HTTP_REPLY) return outcome;
    const char* body = reply_body(reply);
    if (reply_status(reply) == 200 && body && strlen(reply) < ARCHIVE_REPLY_LIMIT) {
        *snapshot = archived_snapshot(body, strlen(body));
    }
    free(reply);
    return outcome;
}
