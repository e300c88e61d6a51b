// The filter's site: and is:duplicate indexes, made ahead by a worker while the window goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/search_terms_ahead.h"
#include "collection/record_terms.h"
#include "tests/app/window_fixture.h"

namespace {

using SearchTerms = WindowTest;

// Made after the first fill, taken although records came and went meanwhile,
// and due again once a URL changed in place.
TEST_F(SearchTerms, MadeAheadFollowEditsMeanwhileAndAreMadeAgainAfterAUrlChange) {
    EXPECT_EQ(app_state->search_terms_job, TERMS_JOB_SOON);  // the first idle pass asked for them
    add("Kernel mirror", "https://kernel.org/");
    start_search_terms(frame);
    EXPECT_EQ(app_state->search_terms_job, TERMS_JOB_RUNNING);
    add("Kernel docs", "http://docs.kernel.org/");
    delete_record(&app_state->collection, record("http://www.ietf.org/"));
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, frame, WM_SEARCH_TERMS, WM_SEARCH_TERMS), 0);
    DispatchMessageA(&msg);
    EXPECT_EQ(app_state->search_terms_job, TERMS_JOB_NONE);
    EXPECT_FALSE(record_terms_due(&app_state->record_terms));
    type("site:kernel.org");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Kernel docs", "Kernel mirror", "The Linux Kernel Archives"}));
    type("is:duplicate");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Kernel mirror", "The Linux Kernel Archives"}));

    Bookmark* moved = record("http://ui-patterns.com/");
    free(moved->url);
    moved->url = str_dup("http://www.kernel.org/patterns");
    reposition_by_url(&app_state->collection, moved);
    idle();
    EXPECT_EQ(app_state->search_terms_job, TERMS_JOB_SOON);
}

}  // namespace
