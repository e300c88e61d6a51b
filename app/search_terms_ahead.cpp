// Making the search's record indexes off the main thread.
#include "app/search_terms_ahead.h"

#include <memory>

#include "app/app_state.h"
#include "app/resource.h"
#include "collection/record_terms.h"
#include "core/handles_win32.h"

namespace {

struct SearchTermsJob {
    HWND window;
    RecordTermsJob* copies;
};

DWORD WINAPI make_search_terms(void* param) {
    SearchTermsJob* job = static_cast<SearchTermsJob*>(param);
    make_record_terms(job->copies);
    if (!PostMessageA(job->window, WM_SEARCH_TERMS, 0, reinterpret_cast<LPARAM>(job))) {
        free_record_terms_job(job->copies);
        delete job;
    }
    return 0;
}

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
    const UniqueKernelObject thread{CreateThread(nullptr, 0, make_search_terms, job.get(), 0, nullptr)};
    if (!thread) {  // the first search makes them
        free_record_terms_job(job->copies);
        return;
    }
    app_state->search_terms_job = TERMS_JOB_RUNNING;
    job.release();
}

void take_search_terms(LPARAM param) {
    std::unique_ptr<SearchTermsJob> job(reinterpret_cast<SearchTermsJob*>(param));
    take_record_terms(&app_state->record_terms, job->copies);
    app_state->search_terms_job = TERMS_JOB_NONE;
}
