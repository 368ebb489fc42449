// The remark engine: members of IconsModel kept apart from the model plumbing.
#include "iconsmodel.h"
#include "iconsmodel_p.h"
#include "iconsmodelloader.h"
#include "slicedrelease.h"

#include "app/constants.h"

#include <KLocalizedString>

#include <QPixmap>

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

IconsModelPrivate::ThemeSetup currentThemeSetup()
{
    return {QIcon::themeName(), QIcon::fallbackThemeName(), QIcon::themeSearchPaths(), QIcon::fallbackSearchPaths()};
}
}

bool IconsModelPrivate::ThemeSetup::operator==(const ThemeSetup &other) const
{
    return themeName == other.themeName && fallbackThemeName == other.fallbackThemeName && themeSearchPaths == other.themeSearchPaths
        && fallbackSearchPaths == other.fallbackSearchPaths;
}

void IconsModelPrivate::checkThemeSetup()
{
    ThemeSetup setup = currentThemeSetup();
    if (!(setup == remarksThemeSetup)) {
        release->retire(std::exchange(remarksCache, QHash<QString, CachedRemarks>()));
        remarksThemeSetup = std::move(setup);
        ++contentRevision;
    }
}

IconsModelPrivate::CachedRemarks IconsModelPrivate::cachedRemarks(const QString &iconName, const IconsModel *model)
{
    checkThemeSetup();
    const int status = loader->status(iconName);
    auto cached = remarksCache.find(iconName);
    if (cached != remarksCache.end() && cached->status == status) {
        return *cached;
    }
    CachedRemarks entry;
    entry.status = status;
    entry.remarks = model->computeIconRemarks(iconName);
    for (int i = 0; i < entry.remarks.size(); ++i) {
        if (i > 0) {
            entry.text += QLatin1Char('\n');
        }
        entry.text += entry.remarks.at(i).second;
        entry.maximum = std::max(entry.maximum, entry.remarks.at(i).first);
    }
    return *remarksCache.insert(iconName, entry);
}

IconRemarks IconsModel::iconRemarks(const QString &iconName) const
{
    return d->cachedRemarks(iconName, this).remarks;
}

void IconsModel::dropCachedRemarks(const QString &iconName)
{
    if (d->remarksCache.remove(iconName) > 0) {
        ++d->contentRevision;
    }
}

quint64 IconsModel::contentRevision() const
{
    d->checkThemeSetup();
    return d->contentRevision;
}

IconRemarks IconsModel::computeIconRemarks(const QString &iconName) const
{
    // A name the loading pass has not reached is looked up as an application would,
    // so a find before any scan reports what the theme really holds rather than the
    // nameless placeholder.
    const QIcon icon = d->loader->status(iconName) == 2 ? d->loader->getIcon(iconName) : QIcon::fromTheme(iconName);
    const QString &name = iconName;
    const QString found = icon.name();

    IconRemarks remarks;
    if (found.isEmpty()) {
        remarks.append({ErrorRemark, remarkText("Icon with name %1 not found on current theme", {name}, {})});
        return remarks;
    }

    const bool sameName = (found == name);
    const QList<QSize> sizes = icon.availableSizes(QIcon::Normal, QIcon::Off);

    if (sizes.isEmpty()) {
        remarks.append({ErrorRemark,
                        sameName ? remarkText("No available sizes found for icon %1", {name}, {})
                                 : remarkText("No available sizes found for icon %1 (icon %2 in use)", {name, found}, {})});
    }

    for (const QSize &size : sizes) {
        if (!icon.pixmap(size, QIcon::Normal, QIcon::Off).isNull()) {
            continue;
        }
        remarks.append({ErrorRemark,
                        sameName ? remarkText("The size %2x%3 for icon %1 has no image valid", {name}, {size.width(), size.height()})
                                 : remarkText("The size %3x%4 for icon %1 (icon %2 in use) has no image valid",
                                              {name, found},
                                              {size.width(), size.height()})});
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

IconRemarks IconsModel::iconRemarks(const QModelIndex &index) const
{
    return iconRemarks(iconName(index));
}

QString IconsModel::iconRemarksAsString(const QModelIndex &index) const
{
    return d->cachedRemarks(iconName(index), this).text;
}

QIcon IconsModel::getMaxRemarkDialogIcon(const QString &iconName) const
{
    return getRemarkDialogIcon(d->cachedRemarks(iconName, this).maximum);
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
