#include "themecheck.h"

#include <KLocalizedString>

#include <algorithm>

const QVector<ThemeCheck> &ThemeCheck::all()
{
    static const QVector<ThemeCheck> checks = {
        {QStringLiteral("icon-not-found"), ErrorRemark, i18nd("zel-find-qicon", "The toolkit finds no icon for the name.")},
        {QStringLiteral("no-sizes"), ErrorRemark, i18nd("zel-find-qicon", "The icon the toolkit finds offers no size.")},
        {QStringLiteral("size-without-image"), ErrorRemark, i18nd("zel-find-qicon", "A size the icon offers gives no valid image.")},
        {QStringLiteral("name-substituted"), WarningRemark, i18nd("zel-find-qicon", "The toolkit finds the icon only under a shorter name.")},
        {QStringLiteral("standard-size-missing"), InformationRemark, i18nd("zel-find-qicon", "The icon lacks one of the standard sizes.")},
        {QStringLiteral("index-oversized"), ErrorRemark, i18nd("zel-find-qicon", "index.theme is larger than any theme needs.")},
        {QStringLiteral("unlisted-folder"), ErrorRemark, i18nd("zel-find-qicon", "A folder holds icon files but index.theme does not list it.")},
        {QStringLiteral("missing-folder"), WarningRemark, i18nd("zel-find-qicon", "A folder index.theme lists does not exist.")},
        {QStringLiteral("folder-without-size"), ErrorRemark, i18nd("zel-find-qicon", "A listed folder has no Size.")},
        {QStringLiteral("unknown-type"), ErrorRemark, i18nd("zel-find-qicon", "A listed folder has a Type other than Fixed, Scalable or Threshold.")},
        {QStringLiteral("unused-key"), WarningRemark, i18nd("zel-find-qicon", "A listed folder sets a key its Type does not use.")},
        {QStringLiteral("size-range-leaves-size"), ErrorRemark, i18nd("zel-find-qicon", "A Scalable folder's MinSize to MaxSize leaves out its Size.")},
        {QStringLiteral("scale-without-base"), WarningRemark, i18nd("zel-find-qicon", "A folder of Scale 2 or more has no folder of scale 1 beside it.")},
        {QStringLiteral("missing-parent"), ErrorRemark, i18nd("zel-find-qicon", "An inherited theme is not found.")},
        {QStringLiteral("no-hicolor"), InformationRemark, i18nd("zel-find-qicon", "The theme does not inherit hicolor.")},
        {QStringLiteral("unreadable-folder"), ErrorRemark, i18nd("zel-find-qicon", "A folder of the theme cannot be read.")},
        {QStringLiteral("link-target-missing"), ErrorRemark, i18nd("zel-find-qicon", "A link's target does not exist.")},
        {QStringLiteral("link-loop"), ErrorRemark, i18nd("zel-find-qicon", "A link leads back to itself through other links.")},
        {QStringLiteral("link-absolute"), WarningRemark, i18nd("zel-find-qicon", "A link has an absolute target, which breaks when the theme moves.")},
        {QStringLiteral("link-outside-theme"), WarningRemark, i18nd("zel-find-qicon", "A link leads out of the theme's folder.")},
        {QStringLiteral("file-name-whitespace"), ErrorRemark, i18nd("zel-find-qicon", "An icon file's name holds whitespace or control characters.")},
        {QStringLiteral("file-name-characters"),
         WarningRemark,
         i18nd("zel-find-qicon", "An icon file's name holds characters other than a-z, 0-9, -, _ and dots.")},
        {QStringLiteral("svg-not-well-formed"), ErrorRemark, i18nd("zel-find-qicon", "An SVG file is not well-formed XML.")},
        {QStringLiteral("svg-external-reference"),
         ErrorRemark,
         i18nd("zel-find-qicon", "An SVG file refers to an external entity, file or URL; it is not read.")},
        {QStringLiteral("svg-toolkit-message"), WarningRemark, i18nd("zel-find-qicon", "The toolkit's SVG module warns while loading or rendering a file.")},
        {QStringLiteral("svg-transparent"), WarningRemark, i18nd("zel-find-qicon", "An SVG file renders fully transparent at its folder's size.")},
        {QStringLiteral("raster-size-mismatch"),
         WarningRemark,
         i18nd("zel-find-qicon", "A raster image's pixel size does not match its folder's Size and Scale.")},
        {QStringLiteral("raster-in-scalable"), WarningRemark, i18nd("zel-find-qicon", "A raster image lies in a Scalable folder, where it is scaled blurry.")},
        {QStringLiteral("raster-not-square"), WarningRemark, i18nd("zel-find-qicon", "A raster image is not square.")},
        {QStringLiteral("image-unreadable"), ErrorRemark, i18nd("zel-find-qicon", "The toolkit's image reader cannot decode a file.")},
        {QStringLiteral("file-refused"), ErrorRemark, i18nd("zel-find-qicon", "A file is not decoded: not a regular file, or past the limits of any icon.")},
        {QStringLiteral("cache-unparsable"), ErrorRemark, i18nd("zel-find-qicon", "icon-theme.cache does not parse, so the toolkit ignores it.")},
        {QStringLiteral("cache-stale"), WarningRemark, i18nd("zel-find-qicon", "A folder is newer than icon-theme.cache, so the toolkit ignores it.")},
        {QStringLiteral("cache-lacks-name"),
         ErrorRemark,
         i18nd("zel-find-qicon", "icon-theme.cache lacks a name a listed folder holds: no Qt application finds it.")},
        {QStringLiteral("cache-orphan-name"), WarningRemark, i18nd("zel-find-qicon", "icon-theme.cache lists a name where no file of it is.")},
        {QStringLiteral("duplicate-file"), InformationRemark, i18nd("zel-find-qicon", "A file is byte for byte the same as another that is not a link to it.")},
        {QStringLiteral("coverage-missing"), WarningRemark, i18nd("zel-find-qicon", "The theme does not give a name of a --coverage list.")},
        {QStringLiteral("compare-missing"), InformationRemark, i18nd("zel-find-qicon", "The theme lacks a name the --compare theme has.")},
    };
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
