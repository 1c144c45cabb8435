// Word documents through zorim-convert beside LibreOffice: a ~10 MB document (the office-like
// RTF written as .docx by us) to text (target: at most 0.05 of LibreOffice's time, under
// 100 MiB), and a ZIP bomb (about 1 MB inflating to 1 GB) refused (target: under 1 s and
// 100 MiB). "peak_MiB" is the largest resident size of the converting process.
#include "OfficeRtf.h"

#include "richtext/formats/docx/Docx.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <quazip.h>
#include <quazipfile.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QTemporaryDir& docxDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString& officeDocx()
{
    static const QString path = [] {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        zorim::readRtf(officeLikeRtf(), cursor);
        const QString name = docxDir().filePath(QStringLiteral("office.docx"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(zorim::writeDocx(doc));
        return name;
    }();
    return path;
}

const QString& bombDocx()
{
    static const QString path = [] {
        const QString name = docxDir().filePath(QStringLiteral("bomb.docx"));
        QuaZip zip(name);
        zip.open(QuaZip::mdCreate);
        const std::pair<const char*, QByteArray> parts[] = {
            {"_rels/.rels", "<Relationships><Relationship Id=\"r\" Type=\"x/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
            {"word/document.xml", QByteArray()}};
        for (const auto& [part, data] : parts) {
            QuaZipFile f(&zip);
            f.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(part)));
            if (data.isEmpty()) {
                const QByteArray zeros(1 << 20, ' ');
                f.write("<w:document><w:body><w:p><w:r><w:t>");
                for (int i = 0; i < 1024; ++i)
                    f.write(zeros);
            } else {
                f.write(data);
            }
            f.close();
        }
        zip.close();
        return name;
    }();
    return path;
}

struct Run {
    double peakMiB = -1;
    double cpuSeconds = 0;
    int exitCode = -1;
};

Run run(const QString& program, const QStringList& args)
{
    std::vector<QByteArray> bytes{program.toLocal8Bit()};
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Run r;
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status))
        return r;
    r.exitCode = WEXITSTATUS(status);
    r.peakMiB = double(usage.ru_maxrss) / 1024.0;
    r.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return r;
}

// The ~10 MB Word document to text: the converter (0) and LibreOffice (1), side by side.
void BM_ConvertDocxToText(benchmark::State& state)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (state.range(0) == 1 && office.isEmpty()) {
        state.SkipWithError("soffice is not installed");
        return;
    }
    const QString in = officeDocx();
    Run r;
    for (auto _ : state) {
        r = state.range(0) == 0
                ? run(QStringLiteral(ZORIM_CONVERT), {QStringLiteral("--text"), in})
                : run(office, {"-env:UserInstallation=file://" + docxDir().filePath(QStringLiteral("profile")), "--headless",
                               "--convert-to", "txt:Text (encoded):UTF8", "--outdir", docxDir().path(), in});
        if (r.exitCode != 0)
            state.SkipWithError("the conversion failed");
    }
    state.counters["peak_MiB"] = r.peakMiB;
    state.counters["cpu_s"] = r.cpuSeconds;
    state.counters["docx_MB"] = double(QFile(in).size()) / 1e6;
    state.SetLabel(state.range(0) == 0 ? "zorim-convert --text" : "soffice --convert-to txt");
}
BENCHMARK(BM_ConvertDocxToText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A package of about 1 MB whose body inflates to 1 GB: refused with the damaged file's message.
void BM_RefuseDocxBomb(benchmark::State& state)
{
    const QString in = bombDocx();
    Run r;
    for (auto _ : state) {
        r = run(QStringLiteral(ZORIM_CONVERT), {QStringLiteral("--text"), in});
        if (r.exitCode != 1)
            state.SkipWithError("the bomb was not refused");
    }
    state.counters["peak_MiB"] = r.peakMiB;
    state.counters["file_MB"] = double(QFile(in).size()) / 1e6;
}
BENCHMARK(BM_RefuseDocxBomb)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
