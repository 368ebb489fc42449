// The remark engine over a theme whose index.theme and image bytes come from the fuzzer.
// Input: a kind byte, then the index text up to the first NUL, then the image bytes.
#include "catalogue/iconexamination.h"
#include "catalogue/iconsmodel.h"

#include "fuzzerenvironment.h"

#include <QDir>
#include <QFile>
#include <QIcon>

#include <cstdlib>

namespace
{
void writeFile(const QString &path, const char *data, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::abort();
    }
    file.write(data, size);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzerEnvironment &environment = FuzzerEnvironment::instance();
    static IconsModel *model = nullptr;
    static int generation = 0;
    const QString searchPath = environment.home() + QStringLiteral("/icons");
    const QString loosePath = environment.home() + QStringLiteral("/pixmaps");
    if (!model) {
        // Built before the theme is set: its loader puts the platform's theme in force.
        model = new IconsModel(nullptr);
        QIcon::setThemeSearchPaths({searchPath});
        QIcon::setFallbackSearchPaths({loosePath});
    }
    if (size < 1) {
        return 0;
    }

    static const char *const suffixes[] = {"png", "svg", "xpm", "svgz", "jpg"};
    const QString suffix = QLatin1String(suffixes[data[0] % 5]);
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const size_t restSize = size - 1;
    size_t indexSize = 0;
    while (indexSize < restSize && rest[indexSize] != '\0') {
        ++indexSize;
    }
    const char *image = rest + qMin(indexSize + 1, restSize);
    const qint64 imageSize = static_cast<qint64>(restSize - qMin(indexSize + 1, restSize));

    // A theme of a new name each time, so that nothing the toolkit cached of the last one counts.
    const QString themeName = (generation++ % 2) ? QStringLiteral("fuzza") : QStringLiteral("fuzzb");
    const QString themePath = searchPath + QLatin1Char('/') + themeName;
    QDir(themePath).removeRecursively();
    for (const char *dir : {"16x16/apps", "32x32@2x/apps", "scalable/apps"}) {
        QDir().mkpath(themePath + QLatin1Char('/') + QLatin1String(dir));
        writeFile(themePath + QLatin1Char('/') + QLatin1String(dir) + QStringLiteral("/fuzz.") + suffix, image, imageSize);
    }
    writeFile(themePath + QStringLiteral("/index.theme"), rest, static_cast<qint64>(indexSize));
    QDir().mkpath(loosePath);
    writeFile(loosePath + QStringLiteral("/loose.") + suffix, image, imageSize);

    model->clear();
    QIcon::setThemeName(themeName);
    QIcon::setFallbackThemeName(themeName);
    for (const QString &name : {QStringLiteral("fuzz"), QStringLiteral("fuzz-more"), QStringLiteral("loose"), QStringLiteral("absent")}) {
        model->addIcon(name);
    }
    // Examined before and after a loading pass, and anew as a find examines.
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString &name : {QStringLiteral("fuzz"), QStringLiteral("fuzz-more"), QStringLiteral("loose"), QStringLiteral("absent")}) {
            const IconRemarks remarks = pass ? IconExamination::of(name, true).remarks : model->iconRemarks(name);
            if (remarks.isEmpty() && name == QLatin1String("absent")) {
                std::abort();
            }
        }
        model->loadAllIcons();
    }
    return 0;
}
