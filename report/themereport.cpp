#include "themereport.h"

#include "catalogue/iconsizetext.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <QEventLoop>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

ThemeReport::ThemeReport(QObject *parent)
    : QObject(parent)
    , m_iconsModel(new IconsModel(this))
    , m_scanIconNamesThread(new ScanIconNamesThread(this))
{
    connect(m_scanIconNamesThread, &ScanIconNamesThread::iconNamesFinded, m_iconsModel, [this](const QStringList &iconNames) {
        m_iconsModel->addIcons(iconNames);
        m_scanIconNamesThread->releaseBatch();
    });
}

ThemeReport::~ThemeReport()
{
    m_scanIconNamesThread->stop();
    m_scanIconNamesThread->wait();
}

void ThemeReport::setSearchIconSuffixes(const QStringList &suffixes)
{
    m_scanIconNamesThread->setSearchIconSuffixes(suffixes);
}

QStringList ThemeReport::scanIconNames()
{
    m_iconsModel->clear();
    m_scanIconNamesThread->setDirPaths(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths());
    // The finished signal is queued behind every batch the walk reported, so the loop
    // ends only after the model has them all.
    QEventLoop loop;
    connect(m_scanIconNamesThread, &QThread::finished, &loop, &QEventLoop::quit);
    m_scanIconNamesThread->start(QThread::InheritPriority);
    loop.exec();

    QStringList names;
    names.reserve(m_iconsModel->rowCount());
    for (int row = 0; row < m_iconsModel->rowCount(); ++row) {
        names.append(m_iconsModel->iconName(m_iconsModel->index(row)));
    }
    std::sort(names.begin(), names.end());
    return names;
}

QList<ThemeReport::Entry> ThemeReport::examine(const QStringList &iconNames)
{
    QStringList unique;
    QSet<QString> seen;
    for (const QString &name : iconNames) {
        if (!seen.contains(name)) {
            seen.insert(name);
            unique.append(name);
        }
    }

    for (const QString &name : qAsConst(unique)) {
        m_iconsModel->addIcon(name);
    }
    m_iconsModel->loadAllIcons();

    QList<Entry> entries;
    entries.reserve(unique.size());
    for (const QString &name : qAsConst(unique)) {
        entries.append(IconExamination::examine(m_iconsModel, name, QIcon::fromTheme(name)));
    }
    return entries;
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

QByteArray ThemeReport::toText(const QList<Entry> &entries)
{
    QString text;
    for (const Entry &entry : entries) {
        for (const IconRemark &remark : entry.remarks) {
            text += severityKeyword(remark.first) + QLatin1Char('\t') + entry.name + QLatin1Char('\t') + remark.second + QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

QByteArray ThemeReport::toJson(const QList<Entry> &entries)
{
    QJsonArray array;
    for (const Entry &entry : entries) {
        QJsonArray sizes;
        for (const QSize &size : entry.sizes) {
            sizes.append(IconSizeText::toString(size));
        }
        QJsonArray remarks;
        for (const IconRemark &remark : entry.remarks) {
            remarks.append(QJsonObject{{QStringLiteral("severity"), severityKeyword(remark.first)}, {QStringLiteral("text"), remark.second}});
        }
        array.append(QJsonObject{
            {QStringLiteral("name"), entry.name},
            {QStringLiteral("nameInUse"), entry.nameInUse},
            {QStringLiteral("hasThemeIcon"), entry.hasThemeIcon},
            {QStringLiteral("sizes"), sizes},
            {QStringLiteral("remarks"), remarks},
            {QStringLiteral("maxSeverity"), severityKeyword(entry.maximum)},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}
