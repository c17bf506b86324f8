#include "platform/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace {

std::array<int, 2> pipeFds{-1, -1};
std::function<void()> keeper;
bool kept = false;

void keepOnce() {
    if (kept || !keeper) return;
    kept = true;
    keeper();
}

extern "C" void onSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &number, 1);
    errno = saved;
}

extern "C" void onBrokenPipe(int) {}

extern "C" void atExit() {
    keepOnce();
}

void catchSignal(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

namespace termination {

void install(std::function<void()> keep) {
    keeper = std::move(keep);
    if (::pipe2(pipeFds.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        unsigned char number = 0;
        if (::read(pipeFds[0], &number, 1) != 1) return;
        keepOnce();
        // End as the signal would have without a handler: its exit status tells how.
        ::signal(number, SIG_DFL);
        ::raise(number);
        std::_Exit(128 + number);  // the signal was blocked or ignored by the default after all
    });
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        catchSignal(signal, onSignal);
    catchSignal(SIGPIPE, onBrokenPipe);
    std::atexit(atExit);
}

void uninstall() {
    keeper = nullptr;
}

}  // namespace termination
