#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantscollector.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/iconfileguard.h"
#include "catalogue/iconnamesproxymodel.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "remarks/iconsremarksdelegate.h"
#include "remarks/iconsremarksviewdialog.h"
#include "settings/settings.h"

#include <KLocalizedString>

#include <QAction>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QToolButton>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::WindowFlags())
    , ui(new Ui_MainWindow)
{
    init();
}

MainWindow::~MainWindow()
{
    // Names still queued to this window go with it, so the walk has nothing left to do.
    d->scanIconNamesThread->stop();
    d->scanIconNamesThread->wait();
    delete d->scanIconNamesThread;
    d->scanIconNamesThread = nullptr;
    // A find's walk under way stops at its next entry, and the find it held ends unseen.
    delete d->applicantsCollector;
    d->applicantsCollector = nullptr;
    if (d->findAwaitsApplicants) {
        QGuiApplication::restoreOverrideCursor();
    }

    saveSettings();

    delete d->buttonIconsOptions;
    d->buttonIconsOptions = nullptr;
    delete ui;
    ui = nullptr;

    delete d->applicantsSortFilterModel;
    delete d->applicantsIconPathsModel;
    delete d->iconsProxyModel;
    delete d->iconsModel;
    delete d->findedIconRemarksModel;
    delete d->iconsRemarksDelegate;
    delete d->iconNamesDefaultDelegate;
    d.reset();
}

void MainWindow::init()
{
    d = std::make_unique<MainWindowPrivate>();

    // A child, so that the window's parts are found through it; deleted first all the same.
    d->scanIconNamesThread = new ScanIconNamesThread(this);
    connect(d->scanIconNamesThread, &ScanIconNamesThread::iconNamesFinded, this, &MainWindow::addFindedIconNames);
    connect(d->scanIconNamesThread, &QThread::finished, this, &MainWindow::scanIconNamesFinished);
    d->applicantsCollector = new ApplicantsCollector(this);
    connect(d->applicantsCollector, &ApplicantsCollector::collected, this, &MainWindow::applicantsCollected);

    ui->setupUi(this);
    initLayout();
    initModels();
    initEmblemContextMenus();
    initWorkbench();
    initOptionsButton();
    initConnections();

    loadSettings();
    updateCurrentIconOptions();
    updateButtonIconsOptions();
}

void MainWindow::initLayout()
{
    ui->actionQuit->setShortcut(QKeySequence::Quit);
    ui->actionViewIconsRemarks->setShortcut(QKeySequence(QStringLiteral("F2")));

    ui->pushButtonScanIconNamesStop->hide();

    ui->splitterMain->setCollapsible(1, false);
    ui->splitterSecond->setCollapsible(1, false);
    ui->splitterFindedIcon->setChildrenCollapsible(false);
    ui->splitterApplicantsRemarks->setChildrenCollapsible(false);
    ui->splitterMain->setStretchFactor(0, 3);
    ui->splitterMain->setStretchFactor(1, 5);
    ui->splitterFindedIcon->setStretchFactor(0, 1);
    ui->splitterFindedIcon->setStretchFactor(1, 3);
    ui->splitterApplicantsRemarks->setStretchFactor(0, 2);
    ui->splitterApplicantsRemarks->setStretchFactor(1, 1);

    ui->lineEditIconNamesFilter->addAction(IconFileGuard::frameIcon(QStringLiteral("edit-find-symbolic")), QLineEdit::LeadingPosition);
    ui->lineEditIconNamesFilter->setPlaceholderText(i18nd("zel-find-qicon", "Filter"));
    // The clear button's action has no API of its own; its object name is the toolkit's.
    if (auto *clearAction = ui->lineEditIconNamesFilter->findChild<QAction *>(QStringLiteral("_q_qlineeditclearaction"))) {
        clearAction->setIcon(IconFileGuard::frameIcon(QStringLiteral("edit-clear-symbolic")));
    }
}

void MainWindow::initModels()
{
    d->iconsModel = new IconsModel(this);
    d->iconsProxyModel = new IconNamesProxyModel(this);
    d->iconsProxyModel->setSortCaseSensitivity(Qt::CaseInsensitive);
    d->iconsProxyModel->sort(0, Qt::AscendingOrder);
    d->iconsProxyModel->setFilterKeyColumn(0);
    d->iconsProxyModel->setSourceModel(d->iconsModel);
    ui->listViewIconNames->setModel(d->iconsProxyModel);
    // Laying a row out measures its text. In one pass, every batch of a scan and every
    // key typed in the filter would hold the window while all rows are measured; in
    // batches the window answers and the rows settle in idle time.
    ui->listViewIconNames->setLayoutMode(QListView::Batched);

    d->iconsRemarksDelegate = new IconsRemarksDelegate(d->iconsModel, this);
    d->iconNamesDefaultDelegate = ui->listViewIconNames->itemDelegate();

    d->findedIconRemarksModel = new QStandardItemModel(this);
    ui->findedIconRemarksListView->setModel(d->findedIconRemarksModel);

    d->applicantsIconPathsModel = new QStandardItemModel(this);
    d->applicantsSortFilterModel = new ApplicantsSortFilterModel(this);
    d->applicantsSortFilterModel->sort(0, Qt::AscendingOrder);
    d->applicantsSortFilterModel->setSourceModel(d->applicantsIconPathsModel);
    ui->listViewApplicantsIconPaths->setModel(d->applicantsSortFilterModel);
}

void MainWindow::initOptionsButton()
{
    d->buttonIconsOptions = new QToolButton(this);
    d->buttonIconsOptions->setObjectName(QStringLiteral("buttonIconsOptions"));
    d->buttonIconsOptions->setFixedSize(32, 32);
    d->buttonIconsOptions->setIcon(IconFileGuard::frameIcon(QStringLiteral("configure")));
    d->buttonIconsOptions->show();
    connect(d->buttonIconsOptions, &QToolButton::clicked, this, [this]() {
        execSettingsByTab(SettingsDialog::TabIconsOptions);
    });
}

void MainWindow::initConnections()
{
    connect(ui->actionSettings, &QAction::triggered, this, &MainWindow::execSettings);
    connect(ui->actionQuit, &QAction::triggered, this, &MainWindow::close);
    connect(ui->lineEditIconNamesFilter, &QLineEdit::textChanged, d->iconsProxyModel, &QSortFilterProxyModel::setFilterFixedString);
    connect(ui->pushButtonScanIconNamesStart, &QPushButton::clicked, this, &MainWindow::scanIconNamesStart);
    connect(ui->pushButtonScanIconNamesStop, &QPushButton::clicked, this, &MainWindow::scanIconNamesStop);
    connect(ui->lineEditIconName, &QLineEdit::returnPressed, this, &MainWindow::findIconByCurrentName);
    connect(ui->pushButtonFindIcon, &QPushButton::clicked, this, &MainWindow::findIconByCurrentName);
    connect(ui->actionViewIconsRemarks, &QAction::triggered, this, [this]() {
        auto *dialog = new IconsRemarksViewDialog(d->iconsModel, this);
        dialog->show();
    });
    connect(ui->actionShowRemarksAboutFindedIcon, &QAction::triggered, this, [this]() {
        ui->groupBoxFindedIconRemarks->setVisible(ui->groupBoxFindedIconRemarks->isHidden());
    });
    connect(ui->actionShowRemarksInIconNames, &QAction::triggered, this, [this]() {
        if (ui->listViewIconNames->itemDelegate() == d->iconsRemarksDelegate) {
            ui->listViewIconNames->setItemDelegate(d->iconNamesDefaultDelegate);
        } else {
            ui->listViewIconNames->setItemDelegate(d->iconsRemarksDelegate);
        }
    });
    connect(ui->comboBoxFindedIconSize, &QComboBox::currentTextChanged, this, &MainWindow::updateFindedIconCurrentSize);
    connect(ui->listViewIconNames, &QAbstractItemView::doubleClicked, this, &MainWindow::openIconNameByIndex);
    connect(ui->listViewApplicantsIconPaths, &QAbstractItemView::doubleClicked, this, &MainWindow::openFileByApplicantsIconIndex);
    connect(ui->checkBoxApplicantsExactMatchBySearchIconName, &QCheckBox::stateChanged, this, [this](int state) {
        d->applicantsSortFilterModel->setIconNameFilter(state == Qt::Checked ? d->searchIconName : QString());
    });
}

void MainWindow::loadSettings()
{
    Settings settings(nullptr);

    restoreGeometry(settings.restoreMainWindowGeometry());
    ui->splitterMain->restoreState(settings.restoreSplitterState(Settings::SplitterMain));
    ui->splitterFindedIcon->restoreState(settings.restoreSplitterState(Settings::SplitterFindedIcon));
    ui->splitterSecond->restoreState(settings.restoreSplitterState(Settings::SplitterSecond));
    ui->splitterApplicantsRemarks->restoreState(settings.restoreSplitterState(Settings::SplitterApplicantsRemarks));

    d->scanIconNamesOnStart = settings.isScanIconNamesOnStart();
    setIconSize(ui->listViewIconNames, settings.scanIconNamesIconSize());
    setIconSize(ui->listViewApplicantsIconPaths, settings.applicantsIconPathsIconSize());
    d->previewIconSizeEnable = settings.isPreviewIconSizeEnable();
    d->previewIconSize = settings.previewIconSize();
    d->scanIconNamesThread->setSearchIconSuffixes(settings.searchIconSuffixes());
    d->usingSystemIconsTheme = settings.isUsingSystemIconsTheme();

    QIcon::setThemeSearchPaths(settings.iconThemeSearchPaths());
    QIcon::setFallbackSearchPaths(settings.iconFallbackSearchPaths());
    QIcon::setThemeName(settings.iconThemeName());
    QIcon::setFallbackThemeName(settings.iconFallbackThemeName());

    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, settings.applicationAttributeUse96Dpi());
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, settings.applicationAttributeUseHighDpiPixmaps());

    d->applicantsSortFilterModel->setSortSectionsPolicy(settings.applicantsSortSectionsPolicy());

    if (settings.showRemarksInIconNames()) {
        ui->listViewIconNames->setItemDelegate(d->iconsRemarksDelegate);
        ui->actionShowRemarksInIconNames->setChecked(true);
    }

    const bool showFindedIconRemarks = settings.showRemarksInFindedIcon();
    ui->groupBoxFindedIconRemarks->setVisible(showFindedIconRemarks);
    ui->actionShowRemarksAboutFindedIcon->setChecked(showFindedIconRemarks);

    ui->checkBoxApplicantsExactMatchBySearchIconName->setChecked(settings.applicantsExactMatchBySearchIconName());
    loadWorkbenchSettings(settings);
}

void MainWindow::saveSettings()
{
    Settings settings(nullptr);

    settings.saveMainWindowGeometry(saveGeometry());
    settings.saveSplitterState(Settings::SplitterMain, ui->splitterMain->saveState());
    settings.saveSplitterState(Settings::SplitterFindedIcon, ui->splitterFindedIcon->saveState());
    settings.saveSplitterState(Settings::SplitterSecond, ui->splitterSecond->saveState());
    settings.saveSplitterState(Settings::SplitterApplicantsRemarks, ui->splitterApplicantsRemarks->saveState());
    settings.setShowRemarksInIconNames(ui->listViewIconNames->itemDelegate() == d->iconsRemarksDelegate);
    settings.setShowRemarksInFindedIcon(!ui->groupBoxFindedIconRemarks->isHidden());
    settings.setApplicantsExactMatchBySearchIconName(ui->checkBoxApplicantsExactMatchBySearchIconName->isChecked());
}

void MainWindow::setIconSize(QAbstractItemView *view, int size)
{
    view->setIconSize(QSize(size, size));
}

void MainWindow::updateButtonIconsOptions()
{
    d->buttonIconsOptions->move(width() - d->buttonIconsOptions->width() - 1, menuBar()->height() + 1);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateButtonIconsOptions();
}

void MainWindow::clear()
{
    d->iconsModel->clear();
    openIconName(QString());
}

void MainWindow::initEmblemContextMenus()
{
    struct CornerTexts {
        Qt::Corner corner;
        QString add;
        QString remove;
    };
    const QVector<CornerTexts> corners = {
        {Qt::TopLeftCorner, i18nd("zel-find-qicon", "Add icon to top left corner"), i18nd("zel-find-qicon", "Remove icon from top left corner")},
        {Qt::TopRightCorner, i18nd("zel-find-qicon", "Add icon to top right corner"), i18nd("zel-find-qicon", "Remove icon from top right corner")},
        {Qt::BottomLeftCorner, i18nd("zel-find-qicon", "Add icon to bottom left corner"), i18nd("zel-find-qicon", "Remove icon from bottom left corner")},
        {Qt::BottomRightCorner, i18nd("zel-find-qicon", "Add icon to bottom right corner"), i18nd("zel-find-qicon", "Remove icon from bottom right corner")},
    };
    auto *addMenu = new QMenu(ui->listViewIconNames);
    auto *removeMenu = new QMenu(ui->labelFindedIconPreview);
    for (const CornerTexts &entry : corners) {
        const Qt::Corner corner = entry.corner;
        connect(addMenu->addAction(entry.add), &QAction::triggered, this, [this, corner]() {
            const QModelIndex source = d->iconsProxyModel->mapToSource(ui->listViewIconNames->currentIndex());
            addEmblemToPreview(ZelIcon::Emblem(corner, d->iconsModel->iconName(source)));
        });
        connect(removeMenu->addAction(entry.remove), &QAction::triggered, this, [this, corner]() {
            removeEmblemFromPreview(corner);
        });
    }
    removeMenu->addSeparator();
    connect(removeMenu->addAction(i18nd("zel-find-qicon", "Remove all icons from corners")), &QAction::triggered, this, [this]() {
        d->emblems = QMap<Qt::Corner, QString>();
        updateFindedIconCurrentSize();
    });

    ui->listViewIconNames->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->listViewIconNames, &QWidget::customContextMenuRequested, this, [this, addMenu](const QPoint &position) {
        if (ui->listViewIconNames->indexAt(position).isValid()) {
            addMenu->exec(ui->listViewIconNames->viewport()->mapToGlobal(position));
        }
    });
    ui->labelFindedIconPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->labelFindedIconPreview, &QWidget::customContextMenuRequested, this, [this, removeMenu](const QPoint &position) {
        removeMenu->exec(ui->labelFindedIconPreview->mapToGlobal(position));
    });
}

void MainWindow::addEmblemToPreview(const ZelIcon::Emblem &emblem)
{
    d->emblems.insert(emblem.first, emblem.second);
    updateFindedIconCurrentSize();
}

void MainWindow::removeEmblemFromPreview(const Qt::Corner &corner)
{
    d->emblems.remove(corner);
    updateFindedIconCurrentSize();
}
