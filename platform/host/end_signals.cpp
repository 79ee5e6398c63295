// The signals that ask the program to end. A signal handler may do only
// what is safe at any point of the program: it writes the signal's number
// into a pipe, and a thread of the host's own reads it and hands it on, so
// that what follows (a message posted, the display put back) runs as
// ordinary code.
#include "platform/host/end_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "platform/host/adapters.h"

namespace platform {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Set once, before any handler is in force.
int signalPipe[2] = {-1, -1};
pid_t catchingProcess = 0;

void OnEndSignal(int signal) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A process forked from this one (SDL2 shows a dialog from one) has no
    // thread reading the pipe: it ends, as it would have.
    if (getpid() != catchingProcess) _exit(128 + signal);
    // Nor does this one, should the pipe not take the signal.
    if (write(signalPipe[1], &number, 1) != 1) {
        ::signal(signal, SIG_DFL);
        // Delivered as the handler returns and the signal is unblocked.
        raise(signal);
    }
    errno = savedErrno;
}

// A process forked from this one (a dialog's) goes when this one does,
// however this one ends: a dialog of a program that is gone cannot be
// answered.
void EndWithTheProgram() {
    if (getppid() == catchingProcess) prctl(PR_SET_PDEATHSIG, SIGTERM);
}

void HandSignalsOn(EndSignalRoutine routine) {
    int count = 0;
    for (;;) {
        unsigned char number = 0;
        const ssize_t got = read(signalPipe[0], &number, 1);
        if (got == 1)
            routine(number, ++count);
        else if (got < 0 && errno == EINTR)
            continue;
        else
            return;
    }
}

}  // namespace

void CatchEndSignals(EndSignalRoutine routine) {
    static std::once_flag once;
    std::call_once(once, [routine] {
        if (pipe2(signalPipe, O_CLOEXEC) != 0) return;
        catchingProcess = getpid();
        pthread_atfork(nullptr, nullptr, EndWithTheProgram);
        std::thread(HandSignalsOn, routine).detach();
        struct sigaction action{};
        action.sa_handler = OnEndSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : kEndSignals) sigaddset(&action.sa_mask, signal);
        action.sa_flags = SA_RESTART;
        for (int signal : kEndSignals) {
            // A signal the program was started to ignore (nohup, a job in
            // the background) stays ignored.
            struct sigaction before{};
            if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
            sigaction(signal, &action, nullptr);
        }
    });
}

void EndBySignal(int signal) {
    host::PutBackSdlDisplayMode();
    ::signal(signal, SIG_DFL);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    raise(signal);
    _exit(128 + signal);
}

}  // namespace platform
