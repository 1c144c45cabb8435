#pragma once
// SIGTERM and SIGHUP (the system shutting down, a closed terminal, `kill`) as an ordinary event
// of the event loop. The handler itself only writes the signal's number to a pipe, which is all
// a handler may safely do; the pipe's reader tells the program on its own thread.
#include <QObject>

#include <memory>

class QSocketNotifier;

namespace zorim {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches the signals while the object lives; the newest object is the one told.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signal);

private:
    void readSignal();

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zorim
