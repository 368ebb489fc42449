#ifndef ICONFILEGUARD_H
#define ICONFILEGUARD_H

#include <QIcon>

class QIODevice;
#include <QString>

// Whether an image file may be handed to the toolkit's decoders, which trust what a file
// claims: a pipe would block them, a header or a gzip stream claiming gigabytes would have
// them allocate it, and the SVG reader opens whatever file an <image> names. Looked at
// before any decode. No icon needs a side over a few thousand pixels, and one of that
// size already takes a decoder most of a second.
class IconFileGuard
{
public:
    static constexpr qint64 maximumFileBytes = qint64(32) << 20;
    static constexpr int maximumSide = 4096;
    static constexpr qint64 maximumPixels = qint64(maximumSide) * maximumSide;
    static constexpr qint64 maximumInflatedBytes = qint64(64) << 20;

    enum class Verdict {
        Decodable,
        Refused, // not a regular file, or past a limit
        ExternalReference, // an SVG that names something outside itself
    };
    static Verdict verdictOf(const QString &path);
    // Of what a regular file of that suffix holds, read within maximumFileBytes.
    static Verdict verdictOf(QIODevice &device, const QString &suffix);
    // An SVG's XML, inflated where it is a gzip stream; empty past maximumInflatedBytes.
    static QByteArray svgText(const QByteArray &bytes);
    static bool isDecodable(const QString &path);

    // The theme icon as the toolkit gives it now, as pixmaps of its sizes: the program's
    // own frame shows the icons of the theme in force when it was built, and is never
    // looked up again in a theme being examined, where a lookup tries every listed folder.
    // Empty where a file of it must not be decoded.
    static QIcon frameIcon(const QString &iconName);
};

#endif
