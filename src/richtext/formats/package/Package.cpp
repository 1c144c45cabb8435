#include "Package.h"

#include <QBuffer>
#include <QDateTime>
#include <QUrl>
#include <zlib.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <algorithm>

namespace zorim::package {

struct Package::Zip {
    QByteArray bytes;
    QBuffer buffer;
    QuaZip zip;
    explicit Zip(const QByteArray& b) : bytes(b), buffer(&bytes), zip(&buffer) {}
};

Package::Package(const QByteArray& bytes) : m_zip(std::make_unique<Zip>(bytes))
{
    m_left = std::min<int64_t>(kMaxInflated, kInflatedAllowance + kInflatedPerByte * int64_t(bytes.size()));
    QuaZip& zip = m_zip->zip;
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdUnzip))
        return;
    if (zip.getEntriesCount() > kMaxParts)
        return;
    int parts = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (++parts > kMaxParts || !zip.getCurrentFileInfo(&info))
            return;
        m_sizes.insert(info.name, int64_t(std::min<quint64>(info.uncompressedSize, quint64(INT64_MAX))));
    }
    m_valid = zip.getZipError() == UNZ_OK;
}

Package::~Package() = default;

std::optional<QByteArray> Package::part(const QString& name)
{
    const auto size = m_sizes.constFind(name);
    if (!m_valid || m_damaged || size == m_sizes.constEnd())
        return std::nullopt;
    // What the part claims is checked before anything is inflated, and what it gives while it
    // is: a claim may lie.
    if (*size > m_left || !m_zip->zip.setCurrentFile(name)) {
        m_damaged = true;
        return std::nullopt;
    }
    QuaZipFile file(&m_zip->zip);
    if (!file.open(QIODevice::ReadOnly)) {
        m_damaged = true;
        return std::nullopt;
    }
    QByteArray out;
    out.reserve(qsizetype(std::min<int64_t>(*size, 16 << 20)));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0 || n > m_left) {
            m_damaged = true;
            return std::nullopt;
        }
        if (n == 0)
            break;
        m_left -= n;
        out.append(chunk, qsizetype(n));
    }
    file.close();
    if (file.getZipError() != UNZ_OK) { // a checksum that does not agree
        m_damaged = true;
        return std::nullopt;
    }
    return out;
}

QString resolveTarget(const QString& source, const QString& target)
{
    if (target.isEmpty() || target.contains(u':') || target.contains(u'\\'))
        return {};
    QStringList segments;
    if (!target.startsWith(u'/')) {
        segments = source.split(u'/');
        segments.removeLast(); // the source's own name
    }
    for (const QString& s : target.split(u'/', Qt::SkipEmptyParts)) {
        if (s == u".")
            continue;
        if (s == u"..") {
            if (segments.isEmpty())
                return {};
            segments.removeLast();
            continue;
        }
        segments << QUrl::fromPercentEncoding(s.toUtf8());
    }
    return segments.join(u'/');
}

bool readRelationships(Package& package, const QString& source, Relationships& out)
{
    const qsizetype slash = source.lastIndexOf(u'/');
    const QString name = source.mid(slash + 1);
    const QString rels = (slash >= 0 ? source.left(slash + 1) : QString()) + QStringLiteral("_rels/") + name + QStringLiteral(".rels");
    if (!package.contains(rels))
        return true;
    const std::optional<QByteArray> bytes = package.part(rels);
    if (!bytes)
        return false;
    Xml xml(*bytes);
    if (!xml.child(0))
        return false;
    while (xml.child(1)) {
        if (xml.name() != u"Relationship")
            continue;
        Relationship r;
        r.external = xml.attr(QLatin1StringView("TargetMode")) == u"External";
        const QString target = xml.attr(QLatin1StringView("Target"));
        r.target = r.external ? target : resolveTarget(source, target);
        if (!r.external && r.target.isEmpty())
            return false; // a part outside the package: the file is not what it says
        r.type = xml.attr(QLatin1StringView("Type"));
        out.insert(xml.attr(QLatin1StringView("Id")), r);
    }
    return !xml.failed();
}

QString packageTarget(Package& package, const QString& typeEnd)
{
    Relationships rels;
    if (!readRelationships(package, QString(), rels))
        return {};
    for (const Relationship& r : std::as_const(rels))
        if (!r.external && r.type.endsWith(u'/' + typeEnd))
            return r.target;
    return {};
}

bool Xml::next()
{
    for (;;) {
        switch (m_reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++m_depth > kMaxXmlDepth) {
                fail();
                return false;
            }
            return true;
        case QXmlStreamReader::EndElement:
            --m_depth;
            return true;
        case QXmlStreamReader::Characters:
            return true;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            fail();
            return false;
        case QXmlStreamReader::Invalid:
        case QXmlStreamReader::EndDocument:
            return false;
        default:
            break;
        }
    }
}

bool Xml::child(int depth)
{
    while (next()) {
        if (isStart() && m_depth == depth + 1)
            return true;
        if (isEnd() && m_depth < depth)
            return false;
    }
    return false;
}

QString Xml::text()
{
    QString out;
    const int depth = m_depth;
    while (next()) {
        if (isText())
            out += m_reader.text();
        else if (isEnd() && m_depth < depth)
            break;
    }
    return out;
}

QString Xml::attr(QLatin1StringView qualifiedName) const { return m_reader.attributes().value(qualifiedName).toString(); }

bool Xml::has(QLatin1StringView qualifiedName) const { return m_reader.attributes().hasAttribute(qualifiedName); }

struct PackageWriter::Zip {
    QByteArray bytes;
    QBuffer buffer;
    QuaZip zip;
    Zip() : buffer(&bytes), zip(&buffer) {}
};

PackageWriter::PackageWriter() : m_zip(std::make_unique<Zip>())
{
    m_zip->zip.setUtf8Enabled(true);
    m_zip->zip.open(QuaZip::mdCreate);
}

PackageWriter::~PackageWriter() = default;

void PackageWriter::add(const QString& name, const QByteArray& data, bool stored)
{
    QuaZipFile file(&m_zip->zip);
    QuaZipNewInfo info(name);
    info.dateTime = QDateTime(QDate(1980, 1, 1), QTime(0, 0)); // the same document, the same bytes
    if (file.open(QIODevice::WriteOnly, info, nullptr, 0, stored ? 0 : Z_DEFLATED, stored ? 0 : Z_DEFAULT_COMPRESSION))
        file.write(data);
    file.close();
}

QByteArray PackageWriter::finish()
{
    m_zip->zip.close();
    return std::move(m_zip->bytes);
}

} // namespace zorim::package
