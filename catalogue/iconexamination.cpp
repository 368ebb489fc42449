#include "iconexamination.h"

#include "app/constants.h"
#include "catalogue/iconfileguard.h"
#include "catalogue/iconsizetext.h"

#include <KLocalizedString>

#include <QHash>
#include <QImageReader>

#include <private/qiconloader_p.h>

#include <algorithm>

namespace
{
QString remarkText(const char *id, const QStringList &texts, const QList<int> &numbers)
{
    KLocalizedString message = ki18nd("zel-find-qicon", id);
    for (const QString &text : texts) {
        message = message.subs(text);
    }
    // Plain digits: the localised form of a number may group them.
    for (int number : numbers) {
        message = message.subs(QString::number(number));
    }
    return message.toString();
}

// The remarks in the order the window lists them, each with the id of its check.
void addRemarks(IconExamination &examined)
{
    const QString &name = examined.name;
    const QString &found = examined.nameInUse;
    const auto add = [&examined](IconRemarkState state, const QString &check, const QString &text) {
        examined.remarks.append({state, text});
        examined.checks.append(check);
        examined.maximum = std::max(examined.maximum, state);
    };
    if (found.isEmpty()) {
        add(ErrorRemark, QStringLiteral("icon-not-found"), remarkText("Icon with name %1 not found on current theme", {name}, {}));
        return;
    }
    const bool sameName = found == name;
    if (examined.sizes.isEmpty()) {
        add(ErrorRemark,
            QStringLiteral("no-sizes"),
            sameName ? remarkText("No available sizes found for icon %1", {name}, {})
                     : remarkText("No available sizes found for icon %1 (icon %2 in use)", {name, found}, {}));
    }
    for (int i : qAsConst(examined.nullSizes)) {
        const QSize &size = examined.sizes.at(i);
        add(ErrorRemark,
            QStringLiteral("size-without-image"),
            sameName ? remarkText("The size %2x%3 for icon %1 has no image valid", {name}, {size.width(), size.height()})
                     : remarkText("The size %3x%4 for icon %1 (icon %2 in use) has no image valid", {name, found}, {size.width(), size.height()}));
    }
    if (!sameName) {
        add(WarningRemark, QStringLiteral("name-substituted"), remarkText("Icon with name %1 not found, using %2 instead", {name, found}, {}));
    }
    for (int standard : standartIconSizes) {
        if (!examined.sizes.contains(QSize(standard, standard))) {
            add(InformationRemark,
                QStringLiteral("standard-size-missing"),
                sameName ? remarkText("The standard size %2x%3 not found for icon %1", {name}, {standard, standard})
                         : remarkText("The standard size %3x%4 not found for icon %1 (icon %2 in use)", {name, found}, {standard, standard}));
        }
    }
}

// The file the toolkit's own loader takes for each size, asked once for all sizes.
QStringList toolkitFiles(const QString &name, const QList<QSize> &sizes)
{
    QStringList files;
    const QThemeIconInfo info = QIconLoader::instance()->loadIcon(name);
    for (const QSize &size : sizes) {
        const QIconLoaderEngineEntry *chosen = QIconLoaderEngine::entryForSize(info, size);
        files.append(chosen ? chosen->filename : QString());
    }
    // Qt 5 hands the entries over as raw pointers; its own engine deletes them likewise.
    qDeleteAll(info.entries);
    return files;
}

// Whether the file gives an image at the size, decoded as the toolkit's icon engine would
// decode it (a raster file whole, an SVG rendered at the size), but not through QIcon:
// each pixmap an icon makes leaves a key in the pixmap cache, and the cache's periodic
// sweep of a whole theme's keys stalls whatever runs then.
bool decodes(const QString &file, const QSize &size)
{
    QImageReader reader(file);
    if (reader.format().startsWith("svg")) {
        reader.setScaledSize(size);
    }
    return !reader.read().isNull();
}

// All that is held answers for one theme key and one language list.
struct Held {
    uint themeKey = 0;
    QStringList languages;
    QHash<QString, IconExamination> examinations;
};
}

IconExamination IconExamination::of(const QString &name, bool fresh)
{
    static Held held;
    const uint themeKey = QIconLoader::instance()->themeKey();
    const QStringList languages = KLocalizedString::languages();
    if (themeKey != held.themeKey || languages != held.languages) {
        held = Held{themeKey, languages, {}};
    }
    auto it = held.examinations.find(name);
    if (fresh || it == held.examinations.end()) {
        it = held.examinations.insert(name, made(name));
    }
    return *it;
}

IconExamination IconExamination::made(const QString &name)
{
    IconExamination examined;
    examined.name = name;
    const QIcon icon = QIcon::fromTheme(name);
    examined.nameInUse = icon.name();
    examined.hasThemeIcon = QIcon::hasThemeIcon(name);
    if (!examined.nameInUse.isEmpty()) {
        examined.sizes = icon.availableSizes(QIcon::Normal, QIcon::Off);
        examined.files = toolkitFiles(name, examined.sizes);
        for (int i = 0; i < examined.sizes.size(); ++i) {
            // A file the guard refuses is never decoded; its size has no image valid.
            const QString &file = examined.files.at(i);
            const bool refused = !file.isEmpty() && !IconFileGuard::isDecodable(file);
            examined.refused = examined.refused || refused;
            if (refused || file.isEmpty() || !decodes(file, examined.sizes.at(i))) {
                examined.nullSizes.append(i);
            }
        }
    }
    addRemarks(examined);
    return examined;
}

QString IconExamination::remarksText() const
{
    QStringList lines;
    for (const IconRemark &remark : remarks) {
        lines.append(remark.second);
    }
    return lines.join(QLatin1Char('\n'));
}

QList<QSize> IconExamination::distinctSizes() const
{
    return IconSizeText::sortedDistinct(sizes);
}

QString IconExamination::fileFor(const QSize &size) const
{
    return files.value(sizes.indexOf(size));
}
