#include "endsignals.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// Written by the signal handler, so it must be lock-free.
std::atomic<int> endSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

std::function<void()> endAction;
QPointer<QSocketNotifier> notifier;
bool ended = false;

#ifdef Q_OS_UNIX

// The pipe from the signal handler to the event loop: [0] is read by the
// event loop, [1] written by the handler.
int pipeFds[2] = {-1, -1};

const int EndSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onEndSignal(int sig) {
    // Only async-signal-safe work here: note the signal, wake the event loop.
    const int savedErrno = errno;
    int none = 0;
    endSignal.compare_exchange_strong(none, sig);
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

void drainPipe() {
    unsigned char buffer[64];
    while (::read(pipeFds[0], buffer, sizeof buffer) > 0) {
    }
}

#endif

void signalArrived() {
#ifdef Q_OS_UNIX
    drainPipe();
#endif
    if (ended || endSignal.load() == 0) {
        return;
    }
    ended = true;
    if (endAction) {
        endAction();
    } else {
        EndProgramOrderly();
    }
}

} // namespace

void InstallEndSignals() {
#ifdef Q_OS_UNIX
    if (pipeFds[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeFds) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return; // no pipe: the signals keep their default effect
    }
    drainPipe();
    endSignal.store(0);
    ended = false;
    for (int sig : EndSignals) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
            continue; // started with the signal ignored: it stays ignored
        }
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        // The first signal is handled; a repeated one has its default effect.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        ::sigaction(sig, &action, nullptr);
    }
#endif
}

void WatchEndSignals(std::function<void()> end) {
    endAction = std::move(end);
#ifdef Q_OS_UNIX
    QCoreApplication* app = QCoreApplication::instance();
    if (pipeFds[0] < 0 || app == nullptr) {
        return;
    }
    delete notifier.data();
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, app);
    QObject::connect(notifier.data(), &QSocketNotifier::activated, notifier.data(),
                     [] { signalArrived(); });
#endif
}

bool EndingBySignal() {
    return endSignal.load() != 0;
}

int EndSignalNumber() {
    return endSignal.load();
}

void EndProgramOrderly() {
    // The same close as the Exit command, for every main window; then every
    // event loop ends, a modal one included, so that nothing waits for an
    // answer that nobody will give.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible()) {
            window->close();
        }
    }
    QCoreApplication::exit(0);
}
