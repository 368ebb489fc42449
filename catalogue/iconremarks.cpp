// The remark engine: members of IconsModel kept apart from the model plumbing.
#include "iconsmodel.h"
#include "iconfileguard.h"
#include "iconsmodel_p.h"
#include "iconsmodelloader.h"
#include "slicedrelease.h"

#include "app/constants.h"

#include <KLocalizedString>

#include <QPixmap>

#include <private/qiconloader_p.h>

#include <algorithm>
#include <utility>

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

}

void IconsModelPrivate::followToolkit()
{
    // Qt bumps the key on every change of the theme name and search paths, the same
    // values set again included, and its own icons look their files up anew after it.
    const uint themeKey = QIconLoader::instance()->themeKey();
    const QString fallbackTheme = QIcon::fallbackThemeName();
    if (themeKey != examinedThemeKey || fallbackTheme != examinedFallbackTheme) {
        release->retire(std::exchange(examinations, QHash<QString, Examination>()));
        examinedThemeKey = themeKey;
        examinedFallbackTheme = fallbackTheme;
        ++contentRevision;
    }
    const QStringList languages = KLocalizedString::languages();
    if (languages != textLanguages) {
        textLanguages = languages;
        ++contentRevision;
    }
}

const IconsModelPrivate::Examination &IconsModelPrivate::examination(const QString &iconName)
{
    followToolkit();
    const int status = loader->status(iconName);
    auto known = examinations.find(iconName);
    if (known != examinations.end() && known->status == status) {
        return *known;
    }
    Examination examined;
    examined.status = status;
    // A name the loading pass has not reached is looked up as an application would,
    // so a find before any scan reports what the theme really holds rather than the
    // nameless placeholder.
    const QIcon icon = status == 2 ? loader->getIcon(iconName) : QIcon::fromTheme(iconName);
    const QString found = icon.name();
    examined.found = found == iconName ? iconName : found;
    if (!examined.found.isEmpty()) {
        examined.sizes = icon.availableSizes(QIcon::Normal, QIcon::Off);
        // A file the guard refuses is never decoded; its size has no image valid.
        examined.files = IconFileGuard::toolkitFiles(iconName, examined.sizes);
        for (int i = 0; i < examined.sizes.size(); ++i) {
            const QString &file = examined.files.at(i);
            const bool refused = !file.isEmpty() && !IconFileGuard::isDecodable(file);
            examined.refused = examined.refused || refused;
            if (refused || icon.pixmap(examined.sizes.at(i), QIcon::Normal, QIcon::Off).isNull()) {
                examined.nullSizes.append(i);
            }
        }
    }
    examined.maximum = examined.found.isEmpty() || examined.sizes.isEmpty() || !examined.nullSizes.isEmpty() ? ErrorRemark
        : examined.found != iconName                                                                         ? WarningRemark
        : std::any_of(standartIconSizes.cbegin(),
                      standartIconSizes.cend(),
                      [&examined](int standard) {
                          return !examined.sizes.contains(QSize(standard, standard));
                      })
        ? InformationRemark
        : NoRemark;
    return *examinations.insert(iconName, examined);
}

QStringList IconsModel::iconFiles(const QString &iconName, const QList<QSize> &sizes) const
{
    const IconsModelPrivate::Examination &examined = d->examination(iconName);
    QStringList files;
    for (const QSize &size : sizes) {
        files.append(examined.files.value(examined.sizes.indexOf(size)));
    }
    return files;
}

IconRemarks IconsModel::iconRemarks(const QString &iconName) const
{
    const IconsModelPrivate::Examination &examined = d->examination(iconName);
    const QString &name = iconName;
    const QString &found = examined.found;

    IconRemarks remarks;
    if (found.isEmpty()) {
        remarks.append({ErrorRemark, remarkText("Icon with name %1 not found on current theme", {name}, {})});
        return remarks;
    }

    const bool sameName = (found == name);
    const QList<QSize> &sizes = examined.sizes;

    if (sizes.isEmpty()) {
        remarks.append({ErrorRemark,
                        sameName ? remarkText("No available sizes found for icon %1", {name}, {})
                                 : remarkText("No available sizes found for icon %1 (icon %2 in use)", {name, found}, {})});
    }

    for (int i : examined.nullSizes) {
        const QSize &size = sizes.at(i);
        remarks.append({ErrorRemark,
                        sameName ? remarkText("The size %2x%3 for icon %1 has no image valid", {name}, {size.width(), size.height()})
                                 : remarkText("The size %3x%4 for icon %1 (icon %2 in use) has no image valid", {name, found}, {size.width(), size.height()})});
    }

    if (!sameName) {
        remarks.append({WarningRemark, remarkText("Icon with name %1 not found, using %2 instead", {name, found}, {})});
    }

    for (int standard : standartIconSizes) {
        if (sizes.contains(QSize(standard, standard))) {
            continue;
        }
        remarks.append({InformationRemark,
                        sameName ? remarkText("The standard size %2x%3 not found for icon %1", {name}, {standard, standard})
                                 : remarkText("The standard size %3x%4 not found for icon %1 (icon %2 in use)", {name, found}, {standard, standard})});
    }

    return remarks;
}

void IconsModel::dropCachedRemarks(const QString &iconName)
{
    if (d->examinations.remove(iconName) > 0) {
        ++d->contentRevision;
    }
}

quint64 IconsModel::contentRevision() const
{
    d->followToolkit();
    return d->contentRevision;
}

IconRemarks IconsModel::iconRemarks(const QModelIndex &index) const
{
    return iconRemarks(iconName(index));
}

QString IconsModel::iconRemarksAsString(const QModelIndex &index) const
{
    QString text;
    for (const IconRemark &remark : iconRemarks(index)) {
        if (!text.isNull()) {
            text += QLatin1Char('\n');
        }
        text += remark.second;
    }
    return text;
}

QIcon IconsModel::getMaxRemarkDialogIcon(const QString &iconName) const
{
    return getRemarkDialogIcon(d->examination(iconName).maximum);
}

QIcon IconsModel::getRemarkDialogIcon(IconRemarkState state)
{
    switch (static_cast<int>(state)) {
    case InformationRemark:
        return QIcon::fromTheme(QStringLiteral("dialog-information"));
    case WarningRemark:
        return QIcon::fromTheme(QStringLiteral("dialog-warning"));
    case ErrorRemark:
        return QIcon::fromTheme(QStringLiteral("dialog-error"));
    default:
        return QIcon();
    }
}
