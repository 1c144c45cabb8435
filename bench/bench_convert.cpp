// zorim-convert as a whole process: a folder of 200 small letters one at a time (-j 1)
// against a worker process per core (-j 2 on two cores); the 11 MB office-like RTF to text
// beside AbiWord (target: at most 0.05 of its time, under 50 MiB); 10 and 100 MB of text to
// RTF and to text (target: under 450 MiB, and 10 to 100 MB at most 11 times the time and
// the memory). "peak_MiB" is the largest resident size of the converter's process.
#include "OfficeRtf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// 200 RTF letters of about 2 KB: paragraphs of bold, italic and plain runs in Slovak.
const QString& letterFolder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString in = dir.filePath(QStringLiteral("in"));
        QDir().mkpath(in);
        for (int n = 0; n < 200; ++n) {
            QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Verdana;}}\\f0\\fs20 ";
            for (int p = 0; p < 12; ++p)
                rtf += "V\\'e1\\'9een\\'fd {\\b p\\'e1n} riadite\\'be, {\\i dovo\\'beujem si} V\\'e1m ozn\\'e1mi\\'bb, "
                       "\\'9ee list \\'e8\\'edslo " + QByteArray::number(n) + " pri\\'9aiel.\\par ";
            rtf += "}";
            QFile f(in + QStringLiteral("/list%1.rtf").arg(n, 3, 10, QLatin1Char('0')));
            if (f.open(QIODevice::WriteOnly))
                f.write(rtf);
        }
        return in;
    }();
    return folder;
}

void BM_ConvertFolderOf200Letters(benchmark::State& state)
{
    const QString in = letterFolder();
    const QString workers = QString::number(state.range(0));
    QTemporaryDir out;
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(ZORIM_CONVERT), {QStringLiteral("--to"), QStringLiteral("txt"), QStringLiteral("-j"), workers,
                                                QStringLiteral("-o"), out.path(), in});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            state.SkipWithError("zorim-convert failed");
    }
    state.SetLabel(QStringLiteral("200 RTF letters to text, %1 at a time").arg(workers).toStdString());
}
BENCHMARK(BM_ConvertFolderOf200Letters)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Runs a program to its end with its standard output thrown away; its peak resident size in
// MiB and its CPU seconds, or a negative peak when it could not run or failed.
struct ProcessRun {
    double peakMiB = -1;
    double cpuSeconds = 0;
};
ProcessRun runProcess(const QString& program, const QStringList& args)
{
    std::vector<QByteArray> bytes{program.toLocal8Bit()};
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    // fork, not posix_spawn: a child made by vfork carries this process's own peak into its
    // resident-size figure (the peak of the memory it shared until exec), which would hide a
    // small conversion's figure behind the benchmark's generated files.
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const int spawned = pid > 0 ? 0 : -1;
    ProcessRun run;
    if (spawned != 0)
        return run;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

QTemporaryDir& dataDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString& officeRtfFile()
{
    static const QString path = [] {
        const QString name = dataDir().filePath(QStringLiteral("office.rtf"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(officeLikeRtf());
        return name;
    }();
    return path;
}

// The 11 MB office-like RTF to text: the converter (0) and AbiWord (1), when it is installed.
void BM_ConvertOfficeRtfToText(benchmark::State& state)
{
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (state.range(0) == 1 && abiword.isEmpty()) {
        state.SkipWithError("abiword is not installed");
        return;
    }
    const QString in = officeRtfFile();
    const QString out = dataDir().filePath(QStringLiteral("office-abiword.txt"));
    ProcessRun run;
    double cpu = 0;
    for (auto _ : state) {
        run = state.range(0) == 0 ? runProcess(QStringLiteral(ZORIM_CONVERT), {QStringLiteral("--text"), in})
                                  : runProcess(abiword, {QStringLiteral("--to=txt"), QStringLiteral("-o"), out, in});
        if (run.peakMiB < 0)
            state.SkipWithError("the conversion failed");
        cpu += run.cpuSeconds;
    }
    state.counters["peak_MiB"] = run.peakMiB;
    state.counters["cpu_s"] = cpu / double(std::max<int64_t>(1, state.iterations()));
    state.SetLabel(state.range(0) == 0 ? "zorim-convert --text" : "abiword --to=txt");
}
BENCHMARK(BM_ConvertOfficeRtfToText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

const QString& libreOfficeRtfFile()
{
    static const QString path = [] {
        const QString name = dataDir().filePath(QStringLiteral("libreoffice.rtf"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(libreOfficeLikeRtf());
        return name;
    }();
    return path;
}

// The 11 MB RTF as LibreOffice writes generated paragraphs, to text: the converter (0) and
// AbiWord (1), when it is installed.
void BM_ConvertLibreOfficeRtfToText(benchmark::State& state)
{
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (state.range(0) == 1 && abiword.isEmpty()) {
        state.SkipWithError("abiword is not installed");
        return;
    }
    const QString in = libreOfficeRtfFile();
    const QString out = dataDir().filePath(QStringLiteral("libreoffice-abiword.txt"));
    ProcessRun run;
    double cpu = 0;
    for (auto _ : state) {
        run = state.range(0) == 0 ? runProcess(QStringLiteral(ZORIM_CONVERT), {QStringLiteral("--text"), in})
                                  : runProcess(abiword, {QStringLiteral("--to=txt"), QStringLiteral("-o"), out, in});
        if (run.peakMiB < 0)
            state.SkipWithError("the conversion failed");
        cpu += run.cpuSeconds;
    }
    state.counters["peak_MiB"] = run.peakMiB;
    state.counters["cpu_s"] = cpu / double(std::max<int64_t>(1, state.iterations()));
    state.SetLabel(state.range(0) == 0 ? "zorim-convert --text" : "abiword --to=txt");
}
BENCHMARK(BM_ConvertLibreOfficeRtfToText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Lines of Slovak words, as UTF-8, of about this many megabytes.
QString generatedTextFile(int megabytes)
{
    const QString name = dataDir().filePath(QStringLiteral("text%1.txt").arg(megabytes));
    if (QFile::exists(name))
        return name;
    std::mt19937 rng{unsigned(megabytes)};
    const char* words[] = {"kôň", "dokumentu", "text", "quick", "úpel", "juh", "rýchlo", "ďábelské", "čítajú",
                           "a", "ľudia", "Žluťoučký", "sever", "the", "ódy"};
    QByteArray out;
    out.reserve(qsizetype(megabytes) * 1'000'000 + 200);
    while (out.size() < qsizetype(megabytes) * 1'000'000) {
        for (int w = 0, n = 6 + int(rng() % 8); w < n; ++w)
            out.append(words[rng() % 15]).append(w + 1 < n ? ' ' : '\n');
    }
    QFile f(name);
    if (f.open(QIODevice::WriteOnly))
        f.write(out);
    return name;
}

// Text of 10 or 100 MB to RTF (0) or to text (1).
void BM_ConvertText(benchmark::State& state)
{
    const QString in = generatedTextFile(int(state.range(0)));
    const QString out = dataDir().filePath(state.range(1) == 0 ? QStringLiteral("out.rtf") : QStringLiteral("out.txt"));
    ProcessRun run;
    for (auto _ : state) {
        run = runProcess(QStringLiteral(ZORIM_CONVERT), {in, out});
        if (run.peakMiB < 0)
            state.SkipWithError("zorim-convert failed");
    }
    state.counters["peak_MiB"] = run.peakMiB;
    state.counters["cpu_s"] = run.cpuSeconds;
    state.SetLabel(QStringLiteral("%1 MB text to %2").arg(state.range(0)).arg(state.range(1) == 0 ? "RTF" : "text").toStdString());
}
BENCHMARK(BM_ConvertText)->ArgsProduct({{10, 100}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
