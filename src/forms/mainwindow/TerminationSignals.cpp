#include "forms/mainwindow/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zorim {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
std::atomic<int> writeEnd{-1};

void onSignal(int signal)
{
    const int saved = errno;
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t n = ::write(fd, &number, 1);
    }
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd.store(pipe_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (pipe_[1] < 0)
        return;
    // Only the newest object's pipe is written; an older one left in place keeps its own.
    int expected = pipe_[1];
    if (writeEnd.compare_exchange_strong(expected, -1)) {
        for (const int signal : kSignals)
            ::signal(signal, SIG_DFL);
    }
    notifier_.reset();
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void TerminationSignals::readSignal()
{
    unsigned char number = 0;
    ssize_t n;
    do {
        n = ::read(pipe_[0], &number, 1);
    } while (n < 0 && errno == EINTR);
    if (n == 1)
        emit terminationRequested(number);
}

} // namespace zorim
