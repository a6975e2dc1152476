#pragma once
// A thread for work nobody waits on (reading lines ahead, the later half
// of a loop over dives) that takes no signals: Ctrl-C, SIGTERM and SIGHUP
// stay with the dialogue. It is joined when it goes out of scope, also
// when an exception passes. Work that may throw catches it and hands it
// back to the thread that joins (see two_threads.h): an exception leaving
// the thread's work ends the program.
#include <signal.h>

#include <thread>
#include <utility>

namespace miscli {

template <class Work>
std::jthread start_quiet_thread(Work&& work) {
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old);
    std::jthread t(std::forward<Work>(work));
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return t;
}

}  // namespace miscli
