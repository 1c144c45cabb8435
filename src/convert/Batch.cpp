// Several documents are converted in worker processes, each a copy of this program that
// converts one document at a time as its parent hands them out. Processes rather than
// threads: the text documents share Qt's font and layout caches, which are not safe across
// threads. A worker that dies takes only its current document with it.
#include "convert/Batch.h"

#include "convert/Conversion.h"
#include "text/FileNames.h"

#include <QGuiApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <unistd.h>

namespace zorim::convert {

namespace {

// The document needs fonts but no screen: it is never shown.
std::unique_ptr<QGuiApplication> converterApplication(int& argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Failures as they come, a progress line on a terminal, and the count at the end.
class Tally {
public:
    explicit Tally(qsizetype total) : total_(total), progress_(total > 1 && isatty(STDERR_FILENO)) {}

    void succeeded() { finished(); }
    void failed(const QString& message)
    {
        clearProgress();
        report(message);
        ++failed_;
        finished();
    }
    // The summary; answers the exit status.
    int end()
    {
        clearProgress();
        if (total_ > 1) {
            QString line = QStringLiteral("prevedené súbory: %1 z %2").arg(total_ - failed_).arg(total_);
            if (failed_ > 0)
                line += QStringLiteral(", chybné: %1").arg(failed_);
            report(line);
        }
        return failed_ > 0 ? 1 : 0;
    }

private:
    void finished()
    {
        ++done_;
        if (progress_) {
            std::fprintf(stderr, "\rzorim-convert: %lld/%lld", static_cast<long long>(done_), static_cast<long long>(total_));
            std::fflush(stderr);
        }
    }
    void clearProgress()
    {
        if (progress_ && done_ > 0)
            std::fputs("\r\033[K", stderr);
    }

    qsizetype total_;
    qsizetype done_ = 0;
    qsizetype failed_ = 0;
    bool progress_;
};

// Worker protocol: a job is its input and output, each ended by a zero byte; the answer is
// the failure's message (empty on success) ended by a zero byte.
QByteArray jobMessage(const Job& job)
{
    return fileNameBytes(job.input) + '\0' + fileNameBytes(job.output) + '\0';
}

bool readField(std::string& field)
{
    field.clear();
    int c;
    while ((c = std::getchar()) != EOF && c != 0)
        field += char(c);
    return c == 0;
}

// Hands the jobs to the workers one at a time, each to the first worker free.
class Dispatcher {
public:
    Dispatcher(const std::vector<Job>& jobs, Tally& tally) : jobs_(jobs), tally_(tally) {}

    void run(int workers)
    {
        for (int i = 0; i < workers; ++i)
            startWorker();
        loop_.exec();
        // Workers that could not start leave their jobs undone.
        for (const qsizetype job : returned_)
            tally_.failed(QStringLiteral("%1: prevod sa nedal spustiť (%2)").arg(jobs_[size_t(job)].input, startError_));
        for (; next_ < qsizetype(jobs_.size()); ++next_)
            tally_.failed(QStringLiteral("%1: prevod sa nedal spustiť (%2)").arg(jobs_[size_t(next_)].input, startError_));
    }

private:
    struct Worker {
        QProcess process;
        std::deque<qsizetype> jobs; // handed out, not yet answered: the first is in work
        QByteArray received;
    };
    // Jobs a worker has waiting: the next is there the moment one is done, rather than a
    // round trip through this process later.
    static constexpr size_t kJobsAhead = 2;

    void startWorker()
    {
        Worker& w = *workers_.emplace_back(std::make_unique<Worker>());
        w.process.setProgram(QCoreApplication::applicationFilePath());
        w.process.setArguments({QStringLiteral("--worker")});
        w.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&w.process, &QProcess::started, [this, &w] { handOut(w); });
        QObject::connect(&w.process, &QProcess::readyReadStandardOutput, [this, &w] { receive(w); });
        QObject::connect(&w.process, &QProcess::finished, [this, &w] { ended(w); });
        QObject::connect(&w.process, &QProcess::errorOccurred, [this, &w](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            startError_ = w.process.errorString();
            stopped();
        });
        ++running_;
        w.process.start();
    }

    void handOut(Worker& w)
    {
        QByteArray message;
        while (w.jobs.size() < kJobsAhead && (!returned_.empty() || next_ < qsizetype(jobs_.size()))) {
            qsizetype job = next_;
            if (!returned_.empty()) {
                job = returned_.front();
                returned_.pop_front();
            } else {
                ++next_;
            }
            w.jobs.push_back(job);
            message += jobMessage(jobs_[size_t(job)]);
        }
        if (!message.isEmpty())
            w.process.write(message);
        else if (w.jobs.empty())
            w.process.closeWriteChannel(); // the worker ends
    }

    void receive(Worker& w)
    {
        w.received += w.process.readAllStandardOutput();
        for (qsizetype end; (end = w.received.indexOf('\0')) >= 0;) {
            const QByteArray answer = w.received.left(end);
            w.received.remove(0, end + 1);
            if (w.jobs.empty())
                continue;
            w.jobs.pop_front();
            if (answer.isEmpty())
                tally_.succeeded();
            else
                tally_.failed(QString::fromUtf8(answer));
            handOut(w);
        }
    }

    void ended(Worker& w)
    {
        receive(w);
        if (!w.jobs.empty()) {
            // The worker died on its first document; the others it had go on in a new one.
            tally_.failed(QStringLiteral("%1: prevod sa nedokončil (pracovný proces skončil)").arg(jobs_[size_t(w.jobs.front())].input));
            returned_.insert(returned_.end(), w.jobs.begin() + 1, w.jobs.end());
            w.jobs.clear();
            if (!returned_.empty() || next_ < qsizetype(jobs_.size()))
                startWorker();
        }
        stopped();
    }

    void stopped()
    {
        if (--running_ == 0)
            QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
    }

    const std::vector<Job>& jobs_;
    Tally& tally_;
    QEventLoop loop_;
    std::vector<std::unique_ptr<Worker>> workers_;
    qsizetype next_ = 0;
    std::deque<qsizetype> returned_; // handed to a worker that died before it began them
    int running_ = 0;
    QString startError_;
};

bool usesStandardStreams(const std::vector<Job>& jobs)
{
    return std::any_of(jobs.begin(), jobs.end(),
                       [](const Job& j) { return j.input == kStandardStream || j.output == kStandardStream; });
}

} // namespace

int runBatch(const Request& request, int& argc, char** argv)
{
    if (!request.outputFolder.isEmpty() && request.outputFolder != kStandardStream && !QDir().mkpath(request.outputFolder)) {
        report(QStringLiteral("%1: priečinok sa nedá vytvoriť").arg(request.outputFolder));
        return 1;
    }
    Tally tally(qsizetype(request.jobs.size()) + request.refused.size());
    for (const QString& message : request.refused)
        tally.failed(message);

    const int cores = request.workers > 0 ? request.workers : QThread::idealThreadCount();
    const int workers = int(std::min<qsizetype>(cores, qsizetype(request.jobs.size())));
    // Standard input and output are this process's own, and outputs there keep their order.
    if (workers <= 1 || usesStandardStreams(request.jobs)) {
        const auto app = converterApplication(argc, argv);
        for (const Job& job : request.jobs) {
            if (const std::optional<QString> failure = convertDocument(job, request.textToStandardOutput))
                tally.failed(*failure);
            else
                tally.succeeded();
        }
    } else {
        qInstallMessageHandler(quietMessages);
        QCoreApplication app(argc, argv);
        Dispatcher(request.jobs, tally).run(workers);
    }
    return tally.end();
}

int runText(const QString& input, int& argc, char** argv)
{
    const auto app = converterApplication(argc, argv);
    if (const std::optional<QString> failure = printText(input)) {
        report(*failure);
        return 1;
    }
    return 0;
}

int runWorker(int& argc, char** argv)
{
    const auto app = converterApplication(argc, argv);
    std::string input, output;
    while (readField(input) && readField(output)) {
        const std::optional<QString> failure =
            convertDocument({fileNameFromBytes(input.c_str()), fileNameFromBytes(output.c_str())}, false);
        const QByteArray answer = (failure ? failure->toUtf8() : QByteArray()) + '\0';
        if (std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout) != size_t(answer.size()) || std::fflush(stdout) != 0)
            return 1;
    }
    return 0;
}

} // namespace zorim::convert
