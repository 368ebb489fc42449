#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "integration/zelicon.h"
#include "settings/settingsdialog.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAbstractItemView;
class Settings;
class MainWindowPrivate;
class Ui_MainWindow;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    static void setIconSize(QAbstractItemView *view, int size);

    void openIconName(const QString &iconName);
    void openIconNames(const QStringList &iconNames, const QString &currentIconName);
    void postArgumets();
    // The command line, the program first: one name is opened, several replace the list
    // and the first is opened, none leaves it to the stored option to start a scan.
    void openArguments(const QStringList &arguments);

    void clear();
    void scanApplicantsIconByDirPath(const QString &dirPath);
    void execSettingsByTab(SettingsDialog::Tab tab);
    void execSettings();

public Q_SLOTS:
    void updateCurrentIconOptions();
    void scanIconNamesStart();
    void scanIconNamesStop();
    void addFindedIconNames(const QStringList &iconNames);
    void scanIconNamesFinished();
    void findIconByCurrentName();
    void updateFindedIconInfo();
    void updateFindedIconCurrentSize();
    void addEmblemToPreview(const ZelIcon::Emblem &emblem);
    void removeEmblemFromPreview(const Qt::Corner &corner);
    void updateApplicantsIconPaths();
    void openIconNameByIndex(const QModelIndex &index);
    void openFileByApplicantsIconIndex(const QModelIndex &index);
    void openFileByPath(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void init();
    void initLayout();
    void initModels();
    void initEmblemContextMenus();
    void initOptionsButton();
    void initConnections();
    void fillSettingsDialog(SettingsDialog *dialog) const;
    void applySettingsDialog(const SettingsDialog &dialog);
    void offerRestartForHighDpi(const SettingsDialog &dialog);
    void loadSettings();
    void saveSettings();
    void updateButtonIconsOptions();
    void applicantsCollected(quint64 request);
    void finishFind();
    void initWorkbench();
    void initWorkbenchDocks();
    void addWorkbenchDock(const QString &title, const QString &name, QWidget *view, const std::function<void()> &shown);
    QWidget *createIconSizesPanel();
    void initLiveReload();
    void initWorkbenchActions();
    void loadWorkbenchSettings(const Settings &settings);
    void applyWorkbenchBackground();
    void updateWorkbench();
    void reloadFind();

    std::unique_ptr<MainWindowPrivate> d;
    Ui_MainWindow *ui = nullptr;
};

#endif
