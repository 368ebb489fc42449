#include "iconfileguard.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <climits>

#include <private/qiconloader_p.h>

#include <zlib.h>

namespace
{
// Inflates at most the limit and tells whether the stream ended within it.
bool inflatesWithin(QFile &file, qint64 limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return false;
    }
    QByteArray input;
    QByteArray output(1 << 16, Qt::Uninitialized);
    qint64 inflated = 0;
    int result = Z_OK;
    while (result == Z_OK && inflated <= limit) {
        if (stream.avail_in == 0) {
            input = file.read(1 << 16);
            if (input.isEmpty()) {
                break;
            }
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(input.size());
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data());
        stream.avail_out = uInt(output.size());
        result = inflate(&stream, Z_NO_FLUSH);
        inflated += output.size() - stream.avail_out;
    }
    inflateEnd(&stream);
    // A broken stream is the decoder's to refuse; only its size is ours.
    return inflated <= limit;
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
}

bool IconFileGuard::isDecodable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maximumFileBytes) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return true; // the decoder finds nothing to read either
    }
    // The SVG reader inflates any gzip stream, whatever the file's suffix.
    if (file.peek(2) == QByteArray("\x1f\x8b")) {
        return inflatesWithin(file, maximumInflatedBytes);
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) {
        return true;
    }
    QSize size;
    const QByteArray head = file.peek(33);
    if (head.startsWith("\x89PNG\r\n\x1a\n")) {
        size = pngHeaderSize(head);
    } else {
        file.close();
        size = QImageReader(path).size();
    }
    return !size.isValid() || (size.width() <= maximumSide && size.height() <= maximumSide && qint64(size.width()) * size.height() <= maximumPixels);
}

QStringList IconFileGuard::toolkitFiles(const QString &iconName, const QList<QSize> &sizes)
{
    QStringList files;
    const QThemeIconInfo info = QIconLoader::instance()->loadIcon(iconName);
    for (const QSize &size : sizes) {
        const QIconLoaderEngineEntry *chosen = QIconLoaderEngine::entryForSize(info, size);
        files.append(chosen ? chosen->filename : QString());
    }
    // Qt 5 hands the entries over as raw pointers; its own engine deletes them likewise.
    qDeleteAll(info.entries);
    return files;
}

bool IconFileGuard::areDecodable(const QString &iconName, const QList<QSize> &sizes)
{
    const QStringList files = toolkitFiles(iconName, sizes);
    return std::all_of(files.cbegin(), files.cend(), [](const QString &file) {
        return file.isEmpty() || isDecodable(file);
    });
}
