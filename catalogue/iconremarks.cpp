// The remark engine: members of IconsModel kept apart from the model plumbing.
#include "iconsmodel.h"
#include "iconsmodel_p.h"
#include "iconsmodelloader.h"

#include "app/constants.h"

#include <KLocalizedString>

#include <QPixmap>

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

QString themeKey()
{
    const QChar separator(0x1f);
    return QIcon::themeName() + separator + QIcon::fallbackThemeName() + separator + QIcon::themeSearchPaths().join(separator) + separator + separator
        + QIcon::fallbackSearchPaths().join(separator);
}
}

IconRemarks IconsModel::iconRemarks(const QString &iconName) const
{
    const QString key = themeKey();
    if (key != d->remarksThemeKey) {
        d->remarksCache.clear();
        d->remarksThemeKey = key;
    }
    const int status = d->loader->status(iconName);
    const auto cached = d->remarksCache.constFind(iconName);
    if (cached != d->remarksCache.constEnd() && cached->status == status) {
        return cached->remarks;
    }
    IconRemarks remarks = computeIconRemarks(iconName);
    d->remarksCache.insert(iconName, {status, remarks});
    return remarks;
}

void IconsModel::dropCachedRemarks(const QString &iconName)
{
    d->remarksCache.remove(iconName);
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
    QString text;
    const IconRemarks remarks = iconRemarks(index);
    for (int i = 0; i < remarks.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char('\n');
        }
        text += remarks.at(i).second;
    }
    return text;
}

QIcon IconsModel::getMaxRemarkDialogIcon(const QString &iconName) const
{
    IconRemarkState maximum = NoRemark;
    const IconRemarks remarks = iconRemarks(iconName);
    for (const IconRemark &remark : remarks) {
        if (static_cast<int>(remark.first) > static_cast<int>(maximum)) {
            maximum = remark.first;
        }
    }
    return getRemarkDialogIcon(maximum);
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
