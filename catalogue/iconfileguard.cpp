#include "iconfileguard.h"

#include "catalogue/iconexamination.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QXmlStreamReader>

#include <algorithm>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace
{
// The inflated stream, or false where it runs past the limit.
bool inflateWithin(QIODevice &device, qint64 limit, QByteArray &inflated)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return false;
    }
    QByteArray input;
    QByteArray output(1 << 16, Qt::Uninitialized);
    int result = Z_OK;
    while (result == Z_OK && inflated.size() <= limit) {
        if (stream.avail_in == 0) {
            input = device.read(1 << 16);
            if (input.isEmpty()) {
                break;
            }
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(input.size());
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data());
        stream.avail_out = uInt(output.size());
        result = inflate(&stream, Z_NO_FLUSH);
        inflated.append(output.constData(), output.size() - int(stream.avail_out));
    }
    inflateEnd(&stream);
    // A broken stream is the decoder's to refuse; only its size is ours.
    return inflated.size() <= limit;
}

quint32 bigEndian(const QByteArray &bytes, int at)
{
    return (quint32(quint8(bytes[at])) << 24) | (quint32(quint8(bytes[at + 1])) << 16) | (quint32(quint8(bytes[at + 2])) << 8) | quint32(quint8(bytes[at + 3]));
}

// What a PNG's first chunk claims, nearly every theme icon being a PNG. Only a well-formed
// IHDR (its length, its type, its checksum) claims anything: the decoder refuses any
// other as it reads, so such a file is the decoder's to judge, not ours.
QSize pngHeaderSize(const QByteArray &head)
{
    if (head.size() < 33 || head.mid(8, 8) != QByteArray("\0\0\0\x0dIHDR", 8)
        || crc32(0, reinterpret_cast<const Bytef *>(head.constData() + 12), 17) != bigEndian(head, 29)) {
        return QSize();
    }
    const auto side = [&head](int at) {
        return int(qMin<quint32>(bigEndian(head, at), quint32(INT_MAX)));
    };
    return QSize(side(16), side(20));
}

using Verdict = IconFileGuard::Verdict;

Verdict svgVerdict(const QByteArray &svg, int depth);

// A raster image's claimed size within the limits, or an SVG that is self-contained. An
// image embedded in an SVG is one level deeper; three levels are more than any icon has.
Verdict fits(QIODevice &device, const QString &type, int depth)
{
    if (depth > 2) {
        return Verdict::Refused;
    }
    if (device.peek(2) == QByteArray("\x1f\x8b")) {
        // The SVG reader inflates any gzip stream, whatever the file's suffix.
        QByteArray svg;
        return inflateWithin(device, IconFileGuard::maximumInflatedBytes, svg) ? svgVerdict(svg, depth) : Verdict::Refused;
    }
    if (type == QLatin1String("svg") || type == QLatin1String("svgz") || type.contains(QLatin1String("svg+xml"))) {
        return svgVerdict(device.readAll(), depth);
    }
    const QByteArray head = device.peek(33);
    const QSize size = head.startsWith("\x89PNG\r\n\x1a\n") ? pngHeaderSize(head) : QImageReader(&device, QByteArray()).size();
    return !size.isValid()
            || (size.width() <= IconFileGuard::maximumSide && size.height() <= IconFileGuard::maximumSide
                && qint64(size.width()) * size.height() <= IconFileGuard::maximumPixels)
        ? Verdict::Decodable
        : Verdict::Refused;
}

// An embedded image, as the SVG reader would decode it.
Verdict dataVerdict(const QString &uri, int depth)
{
    const int comma = uri.indexOf(QLatin1Char(','));
    const QString header = uri.left(comma);
    const QByteArray payload = uri.mid(comma + 1).toLatin1();
    QByteArray bytes = header.endsWith(QLatin1String(";base64")) ? QByteArray::fromBase64(payload) : QByteArray::fromPercentEncoding(payload);
    QBuffer buffer(&bytes);
    return comma > 0 && bytes.size() <= IconFileGuard::maximumFileBytes && buffer.open(QIODevice::ReadOnly) ? fits(buffer, header.mid(5), depth + 1)
                                                                                                            : Verdict::Refused;
}

// A style that fetches a sheet, or names anything but one of the document's own elements.
bool styleRefersOutside(const QStringRef &style)
{
    if (style.contains(QLatin1String("@import"))) {
        return true;
    }
    for (int at = style.indexOf(QLatin1String("url(")); at >= 0; at = style.indexOf(QLatin1String("url("), at + 4)) {
        const QStringRef target = style.mid(at + 4).trimmed();
        if (!target.startsWith(QLatin1Char('#')) && !target.mid(1).startsWith(QLatin1Char('#'))) {
            return true;
        }
    }
    return false;
}

// Whether an element names nothing outside the document: references to its own elements
// and data held in it (within the limits) only.
Verdict elementVerdict(const QXmlStreamReader &xml, int depth)
{
    if (xml.namespaceUri().contains(QLatin1String("XInclude"))) {
        return Verdict::ExternalReference;
    }
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &attribute : attributes) {
        const QStringRef value = attribute.value();
        if (attribute.name() == QLatin1String("style") && styleRefersOutside(value)) {
            return Verdict::ExternalReference;
        }
        if (attribute.name() == QLatin1String("href") && !value.startsWith(QLatin1Char('#'))) {
            const Verdict data = value.startsWith(QLatin1String("data:")) ? dataVerdict(value.toString(), depth) : Verdict::ExternalReference;
            if (data != Verdict::Decodable) {
                return data;
            }
        }
    }
    return Verdict::Decodable;
}

// Whether the SVG needs nothing outside itself: an external entity, a style sheet, an
// XInclude, or a reference other than to its own elements or to data held in it. The
// XML reader never reads an external entity; the SVG reader would open a file an <image>
// names, a pipe among them. A malformed rest is the reader's to refuse.
Verdict svgVerdict(const QByteArray &bytes, int depth)
{
    static const char *const markers[] = {"href", "ENTITY", "stylesheet", "include", "url(", "@import"};
    if (std::none_of(std::begin(markers), std::end(markers), [&bytes](const char *marker) {
            return bytes.contains(marker);
        })) {
        return Verdict::Decodable;
    }
    QXmlStreamReader xml(bytes);
    bool inStyle = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QXmlStreamEntityDeclarations entities = xml.entityDeclarations();
        const bool external = std::any_of(entities.cbegin(), entities.cend(), [](const QXmlStreamEntityDeclaration &entity) {
            return !entity.systemId().isEmpty() || !entity.publicId().isEmpty();
        });
        if ((token == QXmlStreamReader::DTD && external)
            || (token == QXmlStreamReader::ProcessingInstruction && xml.processingInstructionTarget() == QLatin1String("xml-stylesheet"))
            || (token == QXmlStreamReader::Characters && inStyle && styleRefersOutside(xml.text()))) {
            return Verdict::ExternalReference;
        }
        const Verdict element = token == QXmlStreamReader::StartElement ? elementVerdict(xml, depth) : Verdict::Decodable;
        if (element != Verdict::Decodable) {
            return element;
        }
        inStyle = token == QXmlStreamReader::StartElement ? xml.name() == QLatin1String("style") : token != QXmlStreamReader::EndElement && inStyle;
    }
    return Verdict::Decodable;
}
}

bool IconFileGuard::isDecodable(const QString &path)
{
    return verdictOf(path) == Verdict::Decodable;
}

IconFileGuard::Verdict IconFileGuard::verdictOf(const QString &path)
{
    // Opened without waiting for a writer, and looked at through the descriptor, so that
    // what is judged is what the decoder would read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Verdict::Decodable; // the decoder finds nothing to read either
    }
    struct stat info;
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maximumFileBytes
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Verdict::Refused;
    }
    return verdictOf(file, QFileInfo(path).suffix());
}

IconFileGuard::Verdict IconFileGuard::verdictOf(QIODevice &device, const QString &suffix)
{
    return fits(device, suffix.toLower(), 0);
}

QByteArray IconFileGuard::svgText(const QByteArray &bytes)
{
    if (!bytes.startsWith("\x1f\x8b")) {
        return bytes;
    }
    QByteArray compressed = bytes;
    QBuffer buffer(&compressed);
    QByteArray inflated;
    return buffer.open(QIODevice::ReadOnly) && inflateWithin(buffer, maximumInflatedBytes, inflated) ? inflated : QByteArray();
}

QIcon IconFileGuard::frameIcon(const QString &iconName)
{
    const IconExamination examined = IconExamination::of(iconName);
    const QIcon themed = QIcon::fromTheme(iconName);
    QIcon frame;
    for (int i = 0; i < examined.sizes.size() && !examined.refused; ++i) {
        frame.addPixmap(themed.pixmap(examined.sizes.at(i), QIcon::Normal, QIcon::Off));
    }
    return frame;
}
