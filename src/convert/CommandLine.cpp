#include "convert/CommandLine.h"

#include "text/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <sys/stat.h>

namespace zorim::convert {

namespace {

// The formats --to names, with the extension their outputs get.
struct Target {
    const char* name;
    bool text;
};
constexpr Target kTargets[] = {{"rtf", false}, {"zrm", false}, {"txt", true}, {"docx", false}, {"odt", false}};

const Target* targetNamed(const QString& name)
{
    for (const Target& t : kTargets) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

bool knownOutput(const QString& path)
{
    return targetNamed(QFileInfo(path).suffix()) != nullptr;
}

// The option's value: "--to=txt" or "--to txt".
bool takeValue(const QStringList& args, qsizetype& i, const QString& name, QString& value, QString& error)
{
    const QString& a = args[i];
    if (a.startsWith(name + QLatin1Char('='))) {
        value = a.mid(name.size() + 1);
        return true;
    }
    if (a != name)
        return false;
    if (i + 1 >= args.size()) {
        error = QStringLiteral("%1: chýba hodnota").arg(name);
        return true;
    }
    value = args[++i];
    return true;
}

// One spelling for every name of a file, so that two names of it compare equal: its device and
// inode where it exists (hard and symbolic links to it included), else its folder's and its
// name, so that a file still to be made compares equal too.
QString sameFileKey(const QString& path)
{
    struct stat st;
    if (::stat(fileNameBytes(path).constData(), &st) == 0)
        return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const qsizetype slash = absolute.lastIndexOf(u'/');
    if (::stat(fileNameBytes(absolute.left(slash + 1)).constData(), &st) == 0)
        return QStringLiteral("%1:%2/").arg(st.st_dev).arg(st.st_ino) + absolute.mid(slash + 1);
    return absolute;
}

QString overwritesInput(const QString& in, const QString& out, const QString& overwritten)
{
    return QStringLiteral("%1: výstup %2 by prepísal vstup %3").arg(in, out, overwritten);
}

} // namespace

bool isDocumentName(const QString& fileName)
{
    static const QStringList kExtensions = {QStringLiteral("rtf"), QStringLiteral("zrm"), QStringLiteral("txt"),
                                            QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("mola"),
                                            QStringLiteral("docx"), QStringLiteral("odt"), QStringLiteral("fodt")};
    return kExtensions.contains(QFileInfo(fileName).suffix().toLower());
}

namespace {

// What the options leave for the names: the names themselves and the choices they depend on.
struct Options {
    QStringList positional;
    QString to;
    bool outputFolderGiven = false;
};

// Reads the options into r and the rest into the returned names; stops at the first error or at --help.
Options readOptions(const QStringList& args, Request& r)
{
    Options o;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size() && r.usageError.isEmpty(); ++i) {
        const QString& a = args[i];
        QString value;
        if (optionsEnded || a == kStandardStream || !a.startsWith(QLatin1Char('-'))) {
            o.positional << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            r.mode = Request::Mode::Help;
            return o;
        } else if (a == QLatin1String("--worker")) {
            r.mode = Request::Mode::Worker;
        } else if (a == QLatin1String("--text")) {
            r.mode = Request::Mode::Text;
        } else if (takeValue(args, i, QStringLiteral("--to"), value, r.usageError)) {
            o.to = value;
        } else if (takeValue(args, i, QStringLiteral("--outdir"), value, r.usageError)
                   || takeValue(args, i, QStringLiteral("-o"), value, r.usageError)) {
            r.outputFolder = value;
            o.outputFolderGiven = true;
        } else if (takeValue(args, i, QStringLiteral("--jobs"), value, r.usageError)
                   || takeValue(args, i, QStringLiteral("-j"), value, r.usageError)) {
            bool ok = false;
            r.workers = value.toInt(&ok);
            if (!ok || r.workers < 1)
                r.usageError = QStringLiteral("%1: počet súbežných prevodov musí byť kladné číslo").arg(value);
        } else {
            r.usageError = QStringLiteral("%1: neznáma voľba").arg(a);
        }
    }
    return o;
}

// IN OUT without --to: the output's extension names the format.
void planSingleConversion(const Options& o, Request& r)
{
    const QStringList& positional = o.positional;
    if (o.outputFolderGiven || positional.size() != 2 || isFolder(positional[0])) {
        r.usageError = QStringLiteral("pri viacerých súboroch, priečinku alebo voľbe -o treba zadať --to");
    } else if (positional[1] == kStandardStream) {
        r.usageError = QStringLiteral("pri zápise na štandardný výstup treba zadať --to");
    } else if (!knownOutput(positional[1])) {
        r.usageError = QStringLiteral("%1: unknown output type (.txt, .rtf, .zrm, .docx or .odt)").arg(positional[1]);
    } else if (positional[0] != kStandardStream && sameFileKey(positional[0]) == sameFileKey(positional[1])) {
        r.refused << overwritesInput(positional[0], positional[1], positional[0]);
    } else {
        r.jobs.push_back({positional[0], positional[1]});
    }
}

// Folders stand for the documents in them, in name order: plain files that are not hidden,
// named by their bytes, so that a name that is no UTF-8 converts as it does when given alone.
QStringList expandFolders(const QStringList& positional, Request& r)
{
    QStringList inputs;
    for (const QString& p : positional) {
        if (p != kStandardStream && isFolder(p)) {
            const QDir dir(p);
            QStringList names = folderEntries(p);
            names.removeIf([&dir](const QString& n) {
                return n.startsWith(u'.') || !isDocumentName(n) || !isPlainFile(dir.filePath(n));
            });
            std::sort(names.begin(), names.end());
            if (names.isEmpty())
                r.refused << QStringLiteral("%1: v priečinku nie je žiadny dokument").arg(p);
            for (const QString& n : names)
                inputs << dir.filePath(n);
        } else {
            inputs << p;
        }
    }
    return inputs;
}

// One job per input, its output beside it or in the output folder; refuses an input whose output
// would lose a file.
void planJobs(const QStringList& inputs, const QString& extension, bool outputFolderGiven, Request& r)
{
    QHash<QString, QString> outputOf; // output path -> the input that has it
    QHash<QString, QString> inputOf; // file -> the first input that names it
    for (const QString& in : inputs) {
        const QString key = sameFileKey(in);
        if (!inputOf.contains(key))
            inputOf.insert(key, in);
    }
    for (const QString& in : inputs) {
        QString out;
        if (r.outputFolder == kStandardStream || (in == kStandardStream && !outputFolderGiven)) {
            // A Word document is a package written whole, never a stream.
            if (extension == QLatin1String("docx") || extension == QLatin1String("odt")) {
                r.refused << QStringLiteral("%1: dokument %2 sa nedá zapísať na štandardný výstup").arg(in, extension);
                continue;
            }
            out = kStandardStream;
        } else {
            const QString name = in == kStandardStream ? QStringLiteral("stdin") : QFileInfo(in).completeBaseName();
            const QString folder = outputFolderGiven ? r.outputFolder : QFileInfo(in).path();
            out = QDir(folder).filePath(name + QLatin1Char('.') + extension);
            // An output over an input, its own or another's, or over another input's output,
            // would lose a file.
            const QString key = sameFileKey(out);
            if (const auto input = inputOf.constFind(key); input != inputOf.constEnd()) {
                r.refused << overwritesInput(in, out, *input);
                continue;
            }
            if (const auto first = outputOf.constFind(key); first != outputOf.constEnd()) {
                r.refused << QStringLiteral("%1: výstup %2 už patrí súboru %3").arg(in, out, *first);
                continue;
            }
            outputOf.insert(key, in);
        }
        r.jobs.push_back({in, out});
    }
}

} // namespace

Request parseCommandLine(const QStringList& args)
{
    Request r;
    Options o = readOptions(args, r);
    if (!r.usageError.isEmpty() || r.mode == Request::Mode::Worker || r.mode == Request::Mode::Help)
        return r;

    if (r.mode == Request::Mode::Text) {
        if (o.positional.size() != 1 || !o.to.isEmpty() || o.outputFolderGiven)
            r.usageError = QStringLiteral("--text berie práve jeden vstup");
        else
            r.jobs.push_back({o.positional[0], kStandardStream});
        return r;
    }
    if (o.positional.isEmpty()) {
        r.usageError = QStringLiteral("chýba vstup");
        return r;
    }
    const Target* target = nullptr;
    if (!o.to.isEmpty() && !(target = targetNamed(o.to))) {
        r.usageError = QStringLiteral("--to %1: neznámy formát (rtf, zrm, txt, docx alebo odt)").arg(o.to);
        return r;
    }
    if (!target) {
        planSingleConversion(o, r);
        return r;
    }

    r.textToStandardOutput = target->text;
    // With --to every name is an input, but for "IN -": that input onto standard output.
    if (!o.outputFolderGiven && o.positional.size() == 2 && o.positional[1] == kStandardStream) {
        r.outputFolder = kStandardStream;
        o.outputFolderGiven = true;
        o.positional.removeLast();
    }
    if (o.positional.count(kStandardStream) > 1) {
        r.usageError = QStringLiteral("štandardný vstup sa dá čítať len raz");
        return r;
    }
    planJobs(expandFolders(o.positional, r), QLatin1String(target->name), o.outputFolderGiven, r);
    return r;
}

} // namespace zorim::convert
