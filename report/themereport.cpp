#include "themereport.h"

#include "app/constants.h"
#include "catalogue/iconexamination.h"
#include "catalogue/iconsizechoice.h"
#include "report/themecheck.h"
#include "report/themefilecheck.h"
#include "report/themeindexcheck.h"

#include <QIcon>

#include <algorithm>

void ThemeReport::Entry::add(const QString &check, const QString &text)
{
    const IconRemarkState state = ThemeCheck::severityOf(check);
    remarks.append({state, text});
    checks.append(check);
    maximum = std::max(maximum, state);
}

ThemeReport::ThemeReport()
    : m_suffixes(iconFileSuffixes)
{
}

void ThemeReport::setSearchIconSuffixes(const QStringList &suffixes)
{
    m_suffixes = suffixes;
}

QStringList ThemeReport::scopeFolders(Scope scope)
{
    if (scope == Scope::All) {
        return QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths();
    }
    const QStringList themes = scope == Scope::Theme ? QStringList{QIcon::themeName()} : ThemeIndexCheck::lookupChain(QIcon::themeName());
    QStringList folders;
    for (const QString &theme : themes) {
        folders += ThemeIndexCheck::themeFolders(theme);
    }
    return folders;
}

QStringList ThemeReport::scanIconNames(Scope scope, ThemeFileCheck *fileCheck)
{
    m_scanRemarks = Entry();
    return ThemeIndexCheck::iconNames(scopeFolders(scope), m_suffixes, m_scanRemarks, fileCheck);
}

ThemeReport::Entry ThemeReport::examined(const QString &name, const QList<int> &atSizes)
{
    const IconExamination examination = IconExamination::made(name);
    Entry entry;
    entry.name = name;
    entry.kind = QStringLiteral("icon");
    entry.nameInUse = examination.nameInUse;
    entry.hasThemeIcon = examination.hasThemeIcon;
    entry.sizes = examination.distinctSizes();
    entry.remarks = examination.remarks;
    entry.checks = examination.checks;
    entry.maximum = examination.maximum;
    for (const QSize &size : qAsConst(entry.sizes)) {
        entry.files.append(examination.fileFor(size));
    }
    if (!atSizes.isEmpty()) {
        const QVector<IconSizeChoice> choices = IconSizeChoice::of(name, atSizes, {1});
        for (const IconSizeChoice &choice : choices) {
            entry.filesAt.append(choice.file);
        }
    }
    return entry;
}

ThemeReport::Entry ThemeReport::checkThemeIndex() const
{
    Entry entry;
    entry.name = QIcon::themeName() + QStringLiteral("/index.theme");
    entry.kind = QStringLiteral("index");
    entry.path = ThemeIndexCheck::indexPath(QIcon::themeName());
    ThemeIndexCheck::check(QIcon::themeName(), m_suffixes, entry);
    for (int i = 0; i < m_scanRemarks.remarks.size(); ++i) {
        entry.add(m_scanRemarks.checks.at(i), m_scanRemarks.remarks.at(i).second);
    }
    return entry;
}

QString ThemeReport::severityKeyword(IconRemarkState state)
{
    switch (static_cast<int>(state)) {
    case InformationRemark:
        return QStringLiteral("information");
    case WarningRemark:
        return QStringLiteral("warning");
    case ErrorRemark:
        return QStringLiteral("error");
    default:
        return QStringLiteral("none");
    }
}

IconRemarkState ThemeReport::severityFromKeyword(const QString &keyword, bool *ok)
{
    for (IconRemarkState state : {NoRemark, InformationRemark, WarningRemark, ErrorRemark}) {
        if (keyword == severityKeyword(state)) {
            *ok = true;
            return state;
        }
    }
    *ok = false;
    return NoRemark;
}
