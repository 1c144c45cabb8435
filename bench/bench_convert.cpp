// zorim-convert over a folder of 200 small letters, whole process: one at a time (-j 1)
// against a worker process per core (-j 2 on two cores).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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

} // namespace
