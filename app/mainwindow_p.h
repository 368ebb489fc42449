#ifndef MAINWINDOW_P_H
#define MAINWINDOW_P_H

#include "settings/settings.h"

#include <QIcon>
#include <QMap>
#include <QSize>
#include <QString>

class ApplicantsCollector;
class ApplicantsSortFilterModel;
class IconSizesView;
class IconsModel;
class QAction;
class QComboBox;
class QFileSystemWatcher;
class QTimer;
class IconsRemarksDelegate;
class QAbstractItemDelegate;
class QListView;
class QSortFilterProxyModel;
class QStandardItemModel;
class QToolButton;
class ScanIconNamesThread;
class ThemesView;

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
    // How long a find waits for its applicant walk. Within it, the find is one unit: its
    // rows are listed when it returns. Past it the window answers again, and the rows,
    // then the outcome and the pop of the find's cursor, come when the walk ends.
    static constexpr int applicantsWaitMilliseconds = 300;
    // The walk of the last rebuild outlasted the wait; its rows are still to come.
    bool applicantsPending = false;
    // The last find's cursor and outcome wait for those rows.
    bool findAwaitsApplicants = false;
    // The walk stopped at its limit with more applicants to find.
    bool applicantsTruncated = false;
    // The find started the walk for its name before filling the panels, which it does meanwhile.
    bool applicantsWalkStarted = false;
    IconSizesView *iconSizesView = nullptr;
    ThemesView *themesView = nullptr;
    QComboBox *backgroundCombo = nullptr;
    QAction *liveReloadAction = nullptr;
    QFileSystemWatcher *reloadWatcher = nullptr;
    QTimer *reloadTimer = nullptr;
    // How long the found name's files must stay unchanged before the find runs again.
    static constexpr int reloadQuietMilliseconds = 300;
    void startApplicantsWalk();
    void takeApplicants();
    void appendApplicants(const QStringList &paths);
};

#endif
