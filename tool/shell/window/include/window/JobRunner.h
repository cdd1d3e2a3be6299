// Printer jobs and file tools away from the user-interface thread. A job's work (every port
// library call of it, in its order; a file tool's reads and writes) runs on one worker thread
// while the user-interface thread goes on with its event loop: the window repaints and
// answers, shows a busy cursor, and the job's dialogs wait for the result without blocking.
// One job at a time: the port library takes one caller at a time, and while a job runs only
// its worker calls it.
#pragma once

#include <functional>

namespace shell {

// Runs work on a worker thread and returns once it has finished; the event loop runs
// meanwhile, with the busy cursor up. The outcome of earlier port calls is forgotten first.
// Must not be called while a job runs.
void RunJob(const std::function<void()>& work);

// Whether a job is running.
bool JobRunning();

// From the worker: runs call on the user-interface thread and waits until it has returned
// (a message box there is answered before the job goes on). On the user-interface thread
// itself, call simply runs.
void OnUiThread(const std::function<void()>& call);

// From the worker, or the user-interface thread while a job runs: runs call on the
// user-interface thread later, without waiting for it.
void PostToUi(std::function<void()> call);

}  // namespace shell
