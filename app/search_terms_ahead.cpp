// Making the search's record indexes off the main thread.
#include "app/search_terms_ahead.h"

#include <memory>
#include <utility>

#include "app/app_state.h"
#include "app/resource.h"
#include "app/window_worker.h"
#include "collection/record_terms.h"

namespace {

struct SearchTermsJob {
    HWND window;
    RecordTermsJob* copies;  // null once taken
    ~SearchTermsJob() {
        if (copies) free_record_terms_job(copies);
    }
};

void make_search_terms(SearchTermsJob* job) { make_record_terms(job->copies); }

}  // namespace

void make_search_terms_soon(HWND window) {
    if (app_state->search_terms_job != TERMS_JOB_NONE || !record_terms_due(&app_state->record_terms)) return;
    if (SetTimer(window, IDT_SEARCH_TERMS, USER_TIMER_MINIMUM, nullptr)) app_state->search_terms_job = TERMS_JOB_SOON;
}

void start_search_terms(HWND window) {
    if (app_state->filter_dirty) return;  // the list is filled and painted first
    KillTimer(window, IDT_SEARCH_TERMS);
    app_state->search_terms_job = TERMS_JOB_NONE;
    if (!record_terms_due(&app_state->record_terms)) return;
    std::unique_ptr<SearchTermsJob> job(new SearchTermsJob{window, copy_for_record_terms(&app_state->record_terms)});
    // Without a thread, the first search makes them.
    if (start_window_worker<SearchTermsJob, make_search_terms, WM_SEARCH_TERMS>(std::move(job))) {
        app_state->search_terms_job = TERMS_JOB_RUNNING;
    }
}

void take_search_terms(LPARAM param) {
    std::unique_ptr<SearchTermsJob> job(reinterpret_cast<SearchTermsJob*>(param));
    take_record_terms(&app_state->record_terms, job->copies);
    job->copies = nullptr;
    app_state->search_terms_job = TERMS_JOB_NONE;
}
