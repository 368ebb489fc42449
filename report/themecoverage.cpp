#include "themecoverage.h"

#include "report/themeindexcheck.h"

#include <KLocalizedString>

#include <QFile>
#include <QIcon>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <private/qiconloader_p.h>

#include <algorithm>

namespace
{
// The files the toolkit's own loader takes for the name, under the theme in force.
QStringList toolkitFiles(const QString &name, QString *nameInUse = nullptr)
{
    const QThemeIconInfo info = QIconLoader::instance()->loadIcon(name);
    QStringList files;
    for (const QIconLoaderEngineEntry *entry : info.entries) {
        files.append(entry->filename);
    }
    if (nameInUse) {
        *nameInUse = info.iconName;
    }
    // Qt 5 hands the entries over as raw pointers; its own engine deletes them likewise.
    qDeleteAll(info.entries);
    return files;
}

QStringList namingSpecNames(QString *error)
{
    const QString path = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("icon-naming-utils/legacy-icon-mapping.xml"));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *error = i18nd("zel-find-qicon",
                       "The list naming-spec is read from the Debian package icon-naming-utils (its legacy-icon-mapping.xml), which is not installed.");
        return QStringList();
    }
    QStringList names;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("icon")) {
            names.append(xml.attributes().value(QLatin1String("name")).toString());
        }
    }
    if (xml.hasError()) {
        *error = i18nd("zel-find-qicon", "The file %1 is not well-formed: %2.", path, xml.errorString());
        return QStringList();
    }
    return names;
}
}

QStringList ThemeCoverage::readList(const QString &list, QString *error)
{
    if (list == QLatin1String("naming-spec")) {
        return namingSpecNames(error);
    }
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = i18nd("zel-find-qicon", "Cannot read the list \"%1\".", list);
        return QStringList();
    }
    QStringList names;
    const QStringList lines = QString::fromUtf8(file.read(qint64(16) << 20)).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString name = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (!name.isEmpty()) {
            names.append(name);
        }
    }
    names.removeDuplicates();
    return names;
}

bool ThemeCoverage::resolves(const QString &name, const QStringList &folders)
{
    QString nameInUse;
    const QStringList files = toolkitFiles(name, &nameInUse);
    return nameInUse == name && std::any_of(files.cbegin(), files.cend(), [&folders](const QString &file) {
               return std::any_of(folders.cbegin(), folders.cend(), [&file](const QString &folder) {
                   return file.startsWith(folder + QLatin1Char('/'));
               });
           });
}

ThemeReport::Entry ThemeCoverage::coverage(const QString &list, const QStringList &names, const QStringList &folders)
{
    ThemeReport::Entry entry;
    entry.name = list;
    entry.kind = QStringLiteral("coverage");
    for (const QString &name : names) {
        if (resolves(name, folders)) {
            ++entry.covered;
        } else {
            entry.add(QStringLiteral("coverage-missing"), i18nd("zel-find-qicon", "The theme does not give %1.", name));
        }
    }
    entry.listed = names.size();
    return entry;
}

ThemeReport::Entry ThemeCoverage::compare(const QString &otherTheme, const QStringList &iconSuffixes, const QStringList &folders)
{
    ThemeReport::Entry entry;
    entry.name = otherTheme;
    entry.kind = QStringLiteral("compare");
    ThemeReport::Entry unused;
    const QStringList names = ThemeIndexCheck::iconNames(ThemeIndexCheck::themeFolders(otherTheme), iconSuffixes, unused, nullptr);
    QStringList lacking;
    std::copy_if(names.cbegin(), names.cend(), std::back_inserter(lacking), [&folders](const QString &name) {
        return !resolves(name, folders);
    });
    // The other theme in force only while its files are asked for.
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(otherTheme);
    for (const QString &name : qAsConst(lacking)) {
        entry.add(QStringLiteral("compare-missing"),
                  i18nd("zel-find-qicon", "The theme lacks %1, which %2 has: %3.", name, otherTheme, toolkitFiles(name).value(0)));
    }
    QIcon::setThemeName(theme);
    entry.listed = names.size();
    entry.covered = names.size() - lacking.size();
    return entry;
}
