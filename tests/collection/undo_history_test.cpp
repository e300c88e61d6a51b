// Taking changes back. (Moved bookmarks given their new addresses, or joined to
// the bookmark that has it: lktool check --follow-moved.)
#include "collection/undo_history.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "collection/duplicates.h"
#include "collection/moved_addresses.h"
#include "search/keyword_index.h"
#include "tests/collection/collection_invariants.h"

namespace {

struct UndoTest : ::testing::Test {
    Collection c = create_collection();
    UndoHistory* history = create_undo_history(UNDO_STEPS_KEPT, UNDO_BYTES_KEPT);
    ~UndoTest() override {
        free_undo_history(history);
        free_collection(&c);
    }
    Bookmark* add(const char* url, const char* keywords, uint32_t added = 1000) {
        add_or_merge(&c, str_dup(url), str_dup(url), keywords, added, 2000, 3000, false);
        return find_by_url(&c, url);
    }
    Bookmark* moved(const char* url, const char* target) {
        Bookmark* b = add(url, "moved words");
        CheckResult result = {VERDICT_MOVED, DATE_UNSET, 301, 0, str_dup(target), CHECK_ERROR_NONE};
        store_check_result(b, &result, 5000);
        free_check_result(&result);
        return b;
    }
    std::string undo() {
        char name[64] = "";
        EXPECT_EQ(undo_last_step(history, &c, nullptr, name, sizeof name), UNDO_DONE);
        EXPECT_EQ(check_collection(&c), "");
        return name;
    }
};

// Each kind of change, as the window makes it, then each undone in turn from
// the newest: the collection is back, field for field and in its order.
TEST_F(UndoTest, EachKindOfChangeIsTakenBackExactly) {
    Bookmark* a = add("http://a.example/", nullptr);
    add("http://b.example/", "beta");
    add("http://c.example/x", "gamma");
    add("https://www.c.example/x?utm_source=y", "delta");
    moved("http://d.example/old", "http://d.example/new");
    moved("http://e.example/old", "http://a.example/");  // to another bookmark's address
    moved("http://h.example/old", "http://h.example/new");
    add("http://f.example/", "zeta");
    add("http://g.example/", "eta");
    a->folder = str_dup("Work");
    find_by_url(&c, "http://b.example/")->archive = str_dup("http://web.archive.org/web/1/http://b.example/");
    set_bookmark_keywords(&c, a, nullptr);  // never given a set of words
    free_keyword_set(a->keywords);
    a->keywords = nullptr;
    const std::string start = dump_every_field(&c);

    const struct {
        const char* name;
        void (*change)(UndoTest* t);
    } kinds[] = {
        {"Delete 2 Ravozorizi",
         [](UndoTest* t) {
             for (const char* url : {"http://b.example/", "http://g.example/"}) {
                 Bookmark* b = find_by_url(&t->c, url);
                 note_undo_record(t->history, b);
                 delete_record(&t->c, b);
             }
         }},
        {"Edit Linkstone",  // a new address, another bookmark's, which it replaces
         [](UndoTest* t) {
             Bookmark* b = find_by_url(&t->c, "http://f.example/");
             Bookmark* other = find_by_url(&t->c, "http://d.example/old");
             note_undo_record(t->history, b);
             note_undo_record(t->history, other);
             delete_record(&t->c, other);
             forget_check(b);
             free(b->url);
             b->url = str_dup("http://d.example/old");
             reposition_by_url(&t->c, b);
             set_bookmark_keywords(&t->c, b, "new words");
         }},
        {"Remove 1 Duplicate Linkstone",
         [](UndoTest* t) {
             for (const DuplicateGroup& group : find_duplicates(t->c.records)) {
                 for (Bookmark* b : group) note_undo_record(t->history, b);
                 merge_duplicates(&t->c, group, choose_keeper(group, KEEP_NEWEST));
             }
         }},
        {"Update 2 Moved Ravozorizi",
         [](UndoTest* t) {
             for (Bookmark* b : moved_records(t->c.records)) follow_moved_address(&t->c, b, t->history);
         }},
    };
    std::vector<std::string> before;
    for (const auto& kind : kinds) {
        before.push_back(dump_every_field(&c));
        begin_undo_step(history);
        kind.change(this);
        end_undo_step(history, kind.name);
        EXPECT_NE(dump_every_field(&c), before.back()) << kind.name;
        EXPECT_EQ(check_collection(&c), "");
    }
    for (size_t i = std::size(kinds); i-- > 0;) {
        EXPECT_EQ(last_undo_name(history), std::string(kinds[i].name));
        EXPECT_EQ(undo(), kinds[i].name);
        EXPECT_EQ(dump_every_field(&c), before[i]) << kinds[i].name;
    }
    EXPECT_EQ(dump_every_field(&c), start);
    EXPECT_EQ(last_undo_name(history), nullptr);
    EXPECT_EQ(undo_last_step(history, &c, nullptr, nullptr, 0), UNDO_NONE);
    EXPECT_EQ(undo_bytes(history), 0u);
}

// A step that noted nothing, or was cancelled, is not kept; the oldest steps
// go beyond the bounds, but never the newest; the restored records are told.
// A bookmark added since at an address a step would give back stops the undo
// and empties the history, which builds on that step.
TEST_F(UndoTest, TheHistoryIsBoundedAndAnAddressTakenSinceEmptiesIt) {
    free_undo_history(history);
    history = create_undo_history(3, 600);
    for (int i = 0; i < 10; i++) add(("http://" + std::to_string(i) + ".example/").c_str(), "w");
    begin_undo_step(history);
    end_undo_step(history, "nothing");
    begin_undo_step(history);
    note_undo_record(history, static_cast<Bookmark*>(c.records->items[0]));
    cancel_undo_step(history);
    EXPECT_EQ(last_undo_name(history), nullptr);
    std::string deleted;
    auto delete_first = [&](int count, const char* name) {
        begin_undo_step(history);
        for (int i = 0; i < count; i++) {
            Bookmark* b = static_cast<Bookmark*>(c.records->items[0]);
            deleted = b->url;
            note_undo_record(history, b);
            note_undo_record(history, b);  // noted once
            delete_record(&c, b);
        }
        end_undo_step(history, name);
    };
    for (const char* name : {"one", "two", "three", "four"}) delete_first(1, name);
    EXPECT_EQ(undo(), "four");
    EXPECT_EQ(undo(), "three");
    EXPECT_EQ(undo(), "two");
    EXPECT_EQ(last_undo_name(history), nullptr);  // "one" went at the fourth
    delete_first(2, "small");
    delete_first(5, "large");  // more bytes than kept alone
    EXPECT_GT(undo_bytes(history), 600u);
    PtrVector* restored = vec_create();
    EXPECT_EQ(undo_last_step(history, &c, restored, nullptr, 0), UNDO_DONE);
    EXPECT_EQ(restored->count, 5u);
    EXPECT_EQ(restored->items[0], c.records->items[0]);
    vec_destroy(restored);
    EXPECT_EQ(last_undo_name(history), nullptr);

    delete_first(1, "older");
    delete_first(1, "newer");
    for (char& ch : deleted) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    add(deleted.c_str(), "again");
    const std::string now = dump_every_field(&c);
    EXPECT_EQ(undo_last_step(history, &c, nullptr, nullptr, 0), UNDO_CONFLICT);
    EXPECT_EQ(dump_every_field(&c), now);
    EXPECT_EQ(last_undo_name(history), nullptr);
}

}  // namespace
