#ifndef MAINWINDOW_P_H
#define MAINWINDOW_P_H

#include "settings/settings.h"

#include <QIcon>
#include <QMap>
#include <QSize>
#include <QString>

class ApplicantsCollector;
class ApplicantsSortFilterModel;
class IconsModel;
class IconsRemarksDelegate;
class QAbstractItemDelegate;
class QListView;
class QSortFilterProxyModel;
class QStandardItemModel;
class QToolButton;
class ScanIconNamesThread;

class MainWindowPrivate
{
public:
    static QString convertQSizeToString(const QSize &size);
    static QSize convertStringToQSize(const QString &text);
    // A list laid out in batches cannot scroll to a row the batches have not reached:
    // where the row has no place yet, every row is laid out in one pass.
    static void layOutUpTo(QListView *list, const QModelIndex &index);

    bool scanIconNamesOnStart = Settings::defaultScanIconNamesOnStart();
    bool previewIconSizeEnable = Settings::defaultPreviewIconSizeEnable();
    int previewIconSize = Settings::defaultPreviewIconSize();
    bool usingSystemIconsTheme = Settings::defaultUsingSystemIconsTheme();
    IconsModel *iconsModel = nullptr;
    QSortFilterProxyModel *iconsProxyModel = nullptr;
    QStandardItemModel *findedIconRemarksModel = nullptr;
    ScanIconNamesThread *scanIconNamesThread = nullptr;
    QStandardItemModel *applicantsIconPathsModel = nullptr;
    ApplicantsSortFilterModel *applicantsSortFilterModel = nullptr;
    QString searchIconName;
    QIcon findedIcon;
    QMap<Qt::Corner, QString> emblems;
    QToolButton *buttonIconsOptions = nullptr;
    IconsRemarksDelegate *iconsRemarksDelegate = nullptr;
    QAbstractItemDelegate *iconNamesDefaultDelegate = nullptr;
    // Keeps folder listings between finds, so a find does not walk every theme again.
    ApplicantsCollector *applicantsCollector = nullptr;
    // The busy cursor of a collection stays pushed until its answer comes.
    bool collectingApplicants = false;
    void appendApplicants(const QStringList &paths);
};

#endif
