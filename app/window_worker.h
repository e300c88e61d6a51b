// A job done on a thread of its own, its result handed back to the window
// that asked for it by a posted message: the window's thread alone touches
// the program's state, the worker only the job's own copies.
#pragma once

#include <windows.h>

#include <memory>

#include "core/handles_win32.h"

namespace window_worker {

template <typename Job, void (*Work)(Job*), UINT Message>
DWORD WINAPI run(void* param) {
    Job* job = static_cast<Job*>(param);
    Work(job);
    if (!PostMessageA(job->window, Message, 0, reinterpret_cast<LPARAM>(job))) delete job;  // the window is gone
    return 0;
}

}  // namespace window_worker

// Runs Work on the job (which names its `window`) on a thread of its own;
// the window then gets Message with the job as its LPARAM, and owns it. False,
// and the job deleted, when no thread could start.
template <typename Job, void (*Work)(Job*), UINT Message>
bool start_window_worker(std::unique_ptr<Job> job) {
    const UniqueKernelObject thread{
        CreateThread(nullptr, 0, window_worker::run<Job, Work, Message>, job.get(), 0, nullptr)};
    if (!thread) return false;
    job.release();
    return true;
}
