#include "themecheck.h"

#include <KLazyLocalizedString>

#include <algorithm>

namespace
{
struct Row {
    const char *id;
    IconRemarkState severity;
    KLazyLocalizedString description;
};

// Every check, those of icon names first, then index.theme's, then the files'.
const Row rows[] = {
    {"icon-not-found", ErrorRemark, kli18n("The toolkit finds no icon for the name.")},
    {"no-sizes", ErrorRemark, kli18n("The icon the toolkit finds offers no size.")},
    {"size-without-image", ErrorRemark, kli18n("A size the icon offers gives no valid image.")},
    {"name-substituted", WarningRemark, kli18n("The toolkit finds the icon only under a shorter name.")},
    {"standard-size-missing", InformationRemark, kli18n("The icon lacks one of the standard sizes.")},
    {"index-oversized", ErrorRemark, kli18n("index.theme is larger than any theme needs.")},
    {"unlisted-folder", ErrorRemark, kli18n("A folder holds icon files but index.theme does not list it.")},
    {"missing-folder", WarningRemark, kli18n("A folder index.theme lists does not exist.")},
    {"folder-without-size", ErrorRemark, kli18n("A listed folder has no Size.")},
    {"unknown-type", ErrorRemark, kli18n("A listed folder has a Type other than Fixed, Scalable or Threshold.")},
    {"unused-key", WarningRemark, kli18n("A listed folder sets a key its Type does not use.")},
    {"size-range-leaves-size", ErrorRemark, kli18n("A Scalable folder's MinSize to MaxSize leaves out its Size.")},
    {"scale-without-base", WarningRemark, kli18n("A folder of Scale 2 or more has no folder of scale 1 beside it.")},
    {"missing-parent", ErrorRemark, kli18n("An inherited theme is not found.")},
    {"no-hicolor", InformationRemark, kli18n("The theme does not inherit hicolor.")},
    {"unreadable-folder", ErrorRemark, kli18n("A folder of the theme cannot be read.")},
    {"link-target-missing", ErrorRemark, kli18n("A link's target does not exist.")},
    {"link-loop", ErrorRemark, kli18n("A link leads back to itself through other links.")},
    {"link-absolute", WarningRemark, kli18n("A link has an absolute target, which breaks when the theme moves.")},
    {"link-outside-theme", WarningRemark, kli18n("A link leads out of the theme's folder.")},
    {"file-name-whitespace", ErrorRemark, kli18n("An icon file's name holds whitespace or control characters.")},
    {"file-name-characters", WarningRemark, kli18n("An icon file's name holds characters other than a-z, 0-9, -, _ and dots.")},
    {"svg-not-well-formed", ErrorRemark, kli18n("An SVG file is not well-formed XML.")},
    {"svg-external-reference", ErrorRemark, kli18n("An SVG file refers to an external entity, file or URL; it is not read.")},
    {"svg-toolkit-message", WarningRemark, kli18n("The toolkit's SVG module warns while loading or rendering a file.")},
    {"svg-transparent", WarningRemark, kli18n("An SVG file renders fully transparent at its folder's size.")},
    {"raster-size-mismatch", WarningRemark, kli18n("A raster image's pixel size does not match its folder's Size and Scale.")},
    {"raster-in-scalable", WarningRemark, kli18n("A raster image lies in a Scalable folder, where it is scaled blurry.")},
    {"raster-not-square", WarningRemark, kli18n("A raster image is not square.")},
    {"image-unreadable", ErrorRemark, kli18n("The toolkit's image reader cannot decode a file.")},
    {"file-refused", ErrorRemark, kli18n("A file is not decoded: not a regular file, or past the limits of any icon.")},
    {"cache-unparsable", ErrorRemark, kli18n("icon-theme.cache does not parse, so the toolkit ignores it.")},
    {"cache-stale", WarningRemark, kli18n("A folder is newer than icon-theme.cache, so the toolkit ignores it.")},
    {"cache-lacks-name", ErrorRemark, kli18n("icon-theme.cache lacks a name a listed folder holds: no Qt application finds it.")},
    {"cache-orphan-name", WarningRemark, kli18n("icon-theme.cache lists a name where no file of it is.")},
    {"duplicate-file", InformationRemark, kli18n("A file is byte for byte the same as another that is not a link to it.")},
    {"coverage-missing", WarningRemark, kli18n("The theme does not give a name of a --coverage list.")},
    {"compare-missing", InformationRemark, kli18n("The theme lacks a name the --compare theme has.")},
};
}

const QVector<ThemeCheck> &ThemeCheck::all()
{
    static const QVector<ThemeCheck> checks = [] {
        QVector<ThemeCheck> made;
        for (const Row &row : rows) {
            made.append({QString::fromLatin1(row.id), row.severity, row.description.toString()});
        }
        return made;
    }();
    return checks;
}

int ThemeCheck::indexOf(const QString &id)
{
    const QVector<ThemeCheck> &checks = all();
    const auto found = std::find_if(checks.cbegin(), checks.cend(), [&id](const ThemeCheck &check) {
        return check.id == id;
    });
    return found == checks.cend() ? -1 : int(found - checks.cbegin());
}

IconRemarkState ThemeCheck::severityOf(const QString &id)
{
    const int index = indexOf(id);
    return index < 0 ? NoRemark : all().at(index).severity;
}
