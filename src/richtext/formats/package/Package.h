#pragma once
// Office documents kept as a ZIP container of named parts (word processors' zipped formats),
// read within bounds: a file of a few bytes may claim or inflate to gigabytes, hold thousands
// of parts, nest its XML without end or name parts outside itself. Each of these ends the read
// as a damaged file, before the memory or the time is spent.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QXmlStreamReader>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zorim::package {

// Parts a document package may hold: real documents have tens, a few hundred with pictures.
inline constexpr int kMaxParts = 4096;
// What all parts may inflate to together: a multiple of the package's own size (XML packs
// ten to fifty to one; pictures not at all), and never more than a document may hold.
inline constexpr int64_t kInflatedPerByte = 64;
inline constexpr int64_t kInflatedAllowance = 8 << 20;
inline constexpr int64_t kMaxInflated = 1LL << 30;
// XML nesting deeper than any document needs.
inline constexpr int kMaxXmlDepth = 256;

class Package {
public:
    // Opens the container; valid() is false for bytes that are no readable ZIP or hold too many parts.
    explicit Package(const QByteArray& bytes);
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool valid() const { return m_valid; }
    bool contains(const QString& name) const { return m_sizes.contains(name); }
    // The part inflated; nothing when it is missing, damaged, or would pass what is left of the
    // bound (then damaged() is true and stays so).
    std::optional<QByteArray> part(const QString& name);
    bool damaged() const { return m_damaged; }

private:
    struct Zip;
    std::unique_ptr<Zip> m_zip;
    QHash<QString, int64_t> m_sizes; // each part's claimed inflated size
    int64_t m_left = 0;              // bytes all parts may still inflate to
    bool m_valid = false;
    bool m_damaged = false;
};

// A relationship's target, named from the part at `source`, as a part name of the package
// ("word/media/a.png"); empty when it leaves the package (a scheme, a drive, ".." past the root).
QString resolveTarget(const QString& source, const QString& target);

// Relationships of a part: id -> target part name (or the target itself for an external one)
// and whether it is external. Read from `<folder>/_rels/<name>.rels`.
struct Relationship {
    QString target;
    QString type;
    bool external = false;
};
using Relationships = QHash<QString, Relationship>;
// False when the part is damaged; missing relationships are none.
bool readRelationships(Package& package, const QString& source, Relationships& out);
// The relationship of the given type (its last path segment, "officeDocument") among those of
// the package itself; empty when there is none.
QString packageTarget(Package& package, const QString& typeEnd);

// An XML reader that walks elements by depth and refuses what a document never holds: a DTD
// (and so any entity of its own), entity references left unresolved, nesting past kMaxXmlDepth.
class Xml {
public:
    explicit Xml(const QByteArray& bytes) : m_reader(bytes) {}
    // The next child element of the element at `depth` (0: the document itself); false at that
    // element's end, the document's end, or an error. Text between is passed over.
    bool child(int depth);
    // The depth of the element last started.
    int depth() const { return m_depth; }
    QStringView name() const { return m_reader.name(); }
    QStringView qualified() const { return m_reader.qualifiedName(); }
    // An attribute by its qualified name ("w:val").
    QString attr(QLatin1StringView qualifiedName) const;
    bool has(QLatin1StringView qualifiedName) const;
    // The text of the element last started, up to its end (child elements' text included).
    QString text();
    // The next token for a caller that walks mixed content itself: text or an element's start
    // or end, with depth kept. False at the document's end or an error.
    bool next();
    bool isStart() const { return m_reader.isStartElement(); }
    bool isEnd() const { return m_reader.isEndElement(); }
    bool isText() const { return m_reader.isCharacters(); }
    QStringView characters() const { return m_reader.text(); }
    bool failed() const { return m_reader.hasError(); }
    // Fails the read, as for damaged XML.
    void fail() { m_reader.raiseError(QStringLiteral("refused")); }

private:
    QXmlStreamReader m_reader;
    int m_depth = 0;
};

// A package written part by part, as a ZIP in memory.
class PackageWriter {
public:
    PackageWriter();
    ~PackageWriter();
    PackageWriter(const PackageWriter&) = delete;
    PackageWriter& operator=(const PackageWriter&) = delete;
    // stored: kept as it is (a part that must come first and be read without inflating).
    void add(const QString& name, const QByteArray& data, bool stored = false);
    QByteArray finish();

private:
    struct Zip;
    std::unique_ptr<Zip> m_zip;
};

} // namespace zorim::package
