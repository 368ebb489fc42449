// The views beside the find: the found name at every size and scale, the backdrop they
// and the preview are drawn on, copying names, and the find run again as files change.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "app/iconsizesview.h"
#include "app/themesview.h"
#include "catalogue/iconexamination.h"
#include "report/themeindexcheck.h"

#include <KLocalizedString>

#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmapCache>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QTimer>

void MainWindow::initWorkbench()
{
    initWorkbenchDocks();
    initLiveReload();
    initWorkbenchActions();
}

void MainWindow::initWorkbenchDocks()
{
    ui->menuView->addSeparator();
    addWorkbenchDock(i18nd("zel-find-qicon", "Sizes"), QStringLiteral("dockWidgetIconSizes"), createIconSizesPanel(), [this]() {
        d->iconSizesView->setIconName(d->searchIconName);
    });
    d->themesView = new ThemesView(this);
    d->themesView->setObjectName(QStringLiteral("tableWidgetThemes"));
    addWorkbenchDock(i18nd("zel-find-qicon", "Every theme"), QStringLiteral("dockWidgetThemes"), d->themesView, [this]() {
        d->themesView->setIconName(d->searchIconName);
    });
}

// A view shows the found name as soon as it is shown, as it has not followed the finds meanwhile.
void MainWindow::addWorkbenchDock(const QString &title, const QString &name, QWidget *view, const std::function<void()> &shown)
{
    auto *dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    dock->setWidget(view);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    ui->menuView->addAction(dock->toggleViewAction());
    // Stored as the user shows or hides it, so a window only closed leaves the file as it was.
    connect(dock->toggleViewAction(), &QAction::triggered, this, [name](bool visible) {
        Settings settings(nullptr);
        QStringList views = settings.shownViews();
        views.removeAll(name);
        settings.setShownViews(visible ? views << name : views);
    });
    connect(dock, &QDockWidget::visibilityChanged, this, [shown](bool visible) {
        if (visible) {
            shown();
        }
    });
}

QWidget *MainWindow::createIconSizesPanel()
{
    auto *panel = new QWidget(this);
    d->backgroundCombo = new QComboBox(panel);
    d->backgroundCombo->setObjectName(QStringLiteral("comboBoxWorkbenchBackground"));
    d->backgroundCombo->addItem(i18nd("zel-find-qicon", "Window"), QStringLiteral("window"));
    d->backgroundCombo->addItem(i18nd("zel-find-qicon", "Light"), QStringLiteral("light"));
    d->backgroundCombo->addItem(i18nd("zel-find-qicon", "Dark"), QStringLiteral("dark"));
    d->backgroundCombo->addItem(i18nd("zel-find-qicon", "Checkerboard"), QStringLiteral("checkerboard"));
    // Stored as the user changes it, so a window only closed leaves the file as it was.
    connect(d->backgroundCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this]() {
        Settings(nullptr).setWorkbenchBackground(d->backgroundCombo->currentData().toString());
        applyWorkbenchBackground();
    });
    auto *save = new QPushButton(i18nd("zel-find-qicon", "Save as PNG..."), panel);
    save->setObjectName(QStringLiteral("pushButtonSaveSizesMontage"));
    connect(save, &QPushButton::clicked, this, [this]() {
        const QString path = QFileDialog::getSaveFileName(this,
                                                          i18nd("zel-find-qicon", "Save sizes as PNG"),
                                                          d->searchIconName + QStringLiteral("-sizes.png"),
                                                          i18nd("zel-find-qicon", "PNG images (*.png)"));
        if (!path.isEmpty() && !d->iconSizesView->montage().save(path, "PNG")) {
            ui->statusbar->showMessage(i18nd("zel-find-qicon", "Cannot write \"%1\".", path));
        }
    });
    auto *scroll = new QScrollArea(panel);
    scroll->setObjectName(QStringLiteral("scrollAreaIconSizes"));
    d->iconSizesView = new IconSizesView(scroll);
    d->iconSizesView->setObjectName(QStringLiteral("iconSizesView"));
    scroll->setWidget(d->iconSizesView);
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(i18nd("zel-find-qicon", "Background:"), panel));
    bar->addWidget(d->backgroundCombo);
    bar->addStretch();
    bar->addWidget(save);
    auto *layout = new QVBoxLayout(panel);
    layout->addLayout(bar);
    layout->addWidget(scroll);
    return panel;
}

void MainWindow::initLiveReload()
{
    d->liveReloadAction = ui->menuView->addAction(i18nd("zel-find-qicon", "Live reload"));
    d->liveReloadAction->setObjectName(QStringLiteral("actionLiveReload"));
    d->liveReloadAction->setCheckable(true);
    connect(d->liveReloadAction, &QAction::toggled, this, [this](bool reload) {
        Settings(nullptr).setLiveReload(reload);
        updateWorkbench();
    });

    // Files are often written through a new file renamed over the old one: the folder
    // changes then, not the file. A short quiet time lets a save of many files end.
    d->reloadWatcher = new QFileSystemWatcher(this);
    d->reloadTimer = new QTimer(this);
    d->reloadTimer->setSingleShot(true);
    d->reloadTimer->setInterval(MainWindowPrivate::reloadQuietMilliseconds);
    for (auto signal : {&QFileSystemWatcher::fileChanged, &QFileSystemWatcher::directoryChanged}) {
        connect(d->reloadWatcher, signal, this, [this]() {
            if (d->liveReloadAction->isChecked()) {
                d->reloadTimer->start();
            }
        });
    }
    connect(d->reloadTimer, &QTimer::timeout, this, &MainWindow::reloadFind);
}

void MainWindow::initWorkbenchActions()
{
    auto *copy = new QAction(i18nd("zel-find-qicon", "Copy name"), ui->listViewIconNames);
    copy->setObjectName(QStringLiteral("actionCopyIconName"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    ui->listViewIconNames->addAction(copy);
    connect(copy, &QAction::triggered, this, [this]() {
        const QModelIndex index = ui->listViewIconNames->currentIndex();
        if (index.isValid()) {
            QGuiApplication::clipboard()->setText(index.data().toString());
        }
    });
    if (auto *menu = ui->listViewIconNames->findChild<QMenu *>()) {
        menu->addSeparator();
        menu->addAction(copy);
    }
    auto *copyFound = new QAction(i18nd("zel-find-qicon", "Copy name"), ui->labelFindedIconName);
    copyFound->setObjectName(QStringLiteral("actionCopyFoundIconName"));
    ui->labelFindedIconName->addAction(copyFound);
    ui->labelFindedIconName->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copyFound, &QAction::triggered, this, [this]() {
        QGuiApplication::clipboard()->setText(ui->labelFindedIconName->text());
    });

    auto *applicantsMenu = new QMenu(ui->listViewApplicantsIconPaths);
    auto *openFolder = applicantsMenu->addAction(i18nd("zel-find-qicon", "Open containing folder"));
    openFolder->setObjectName(QStringLiteral("actionOpenContainingFolder"));
    ui->listViewApplicantsIconPaths->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->listViewApplicantsIconPaths, &QWidget::customContextMenuRequested, this, [this, applicantsMenu](const QPoint &position) {
        if (ui->listViewApplicantsIconPaths->indexAt(position).isValid()) {
            applicantsMenu->exec(ui->listViewApplicantsIconPaths->viewport()->mapToGlobal(position));
        }
    });
    connect(openFolder, &QAction::triggered, this, [this]() {
        const QModelIndex index = ui->listViewApplicantsIconPaths->currentIndex();
        if (index.isValid()) {
            openFileByPath(QFileInfo(index.data().toString()).path());
        }
    });
}

// What the views beside the find keep between sessions, read with the other settings.
void MainWindow::loadWorkbenchSettings(const Settings &settings)
{
    {
        const QSignalBlocker blocker(d->backgroundCombo);
        d->backgroundCombo->setCurrentIndex(d->backgroundCombo->findData(settings.workbenchBackground()));
    }
    applyWorkbenchBackground();
    {
        const QSignalBlocker blocker(d->liveReloadAction);
        d->liveReloadAction->setChecked(settings.isLiveReload());
    }
    const QStringList shown = settings.shownViews();
    for (QDockWidget *view : findChildren<QDockWidget *>()) {
        view->setVisible(shown.contains(view->objectName()));
    }
}

void MainWindow::applyWorkbenchBackground()
{
    const QString background = d->backgroundCombo->currentData().toString();
    for (QWidget *widget : {static_cast<QWidget *>(ui->labelFindedIconPreview), static_cast<QWidget *>(d->iconSizesView)}) {
        QPalette palette = widget->palette();
        palette.setBrush(QPalette::Window, IconSizesView::backgroundBrush(background, this->palette()));
        // The size labels stay readable on a dark backdrop.
        palette.setColor(QPalette::WindowText, background == QLatin1String("dark") ? QColor(0xef, 0xf0, 0xf1) : this->palette().color(QPalette::WindowText));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}

// After each find: what it found is watched until the next one.
void MainWindow::updateWorkbench()
{
    if (d->iconSizesView->isVisible()) {
        d->iconSizesView->setIconName(d->searchIconName);
    }
    if (d->themesView->isVisible()) {
        d->themesView->setIconName(d->searchIconName);
    }
    // Only what changed between two finds is watched anew: a find of the same name again,
    // the common case, then costs no system call.
    QStringList paths;
    if (d->liveReloadAction->isChecked()) {
        const IconExamination examined = IconExamination::of(d->searchIconName);
        for (const QString &file : examined.files) {
            if (!file.isEmpty() && !file.startsWith(QLatin1Char(':'))) {
                paths << file << QFileInfo(file).path();
            }
        }
        const QString index = ThemeIndexCheck::indexPath(QIcon::themeName());
        if (!index.isEmpty()) {
            paths << index;
        }
    }
    const QSet<QString> wanted(paths.cbegin(), paths.cend());
    const QStringList watchedList = d->reloadWatcher->files() + d->reloadWatcher->directories();
    const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
    const QStringList gone = (watched - wanted).values();
    const QStringList added = (wanted - watched).values();
    if (!gone.isEmpty()) {
        d->reloadWatcher->removePaths(gone);
    }
    if (!added.isEmpty()) {
        d->reloadWatcher->addPaths(added);
    }
}

void MainWindow::reloadFind()
{
    const QString size = ui->comboBoxFindedIconSize->currentText();
    const QMap<Qt::Corner, QString> emblems = d->emblems;
    // The toolkit keeps each theme's index as it first read it; setting the search paths
    // again has it read them anew. Its pixmap cache knows a file by path, size and the
    // second it changed: a file rewritten within a second would come back as it was.
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths());
    QPixmapCache::clear();
    ui->lineEditIconName->setText(d->searchIconName);
    findIconByCurrentName();
    d->emblems = emblems;
    const int chosen = ui->comboBoxFindedIconSize->findText(size);
    if (chosen >= 0) {
        ui->comboBoxFindedIconSize->setCurrentIndex(chosen);
    }
    updateFindedIconCurrentSize();
}
