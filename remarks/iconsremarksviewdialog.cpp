#include "iconsremarksviewdialog.h"

#include "iconsproxyremarksmodel.h"
#include "remarklinesdelegate.h"
#include "ui_iconsremarksviewdialog.h"

#include <KLocalizedString>

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>

IconsRemarksViewDialog::IconsRemarksViewDialog(IconsModel *iconsModel, QWidget *parent)
    : QDialog(parent, Qt::WindowFlags())
    , ui(new Ui_IconsRemarksViewDialog)
{
    ui->setupUi(this);

    auto *remarksModel = new IconsProxyRemarksModel(iconsModel, this);
    m_sortModel = new QSortFilterProxyModel(this);
    m_sortModel->setSourceModel(remarksModel);
    m_sortModel->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_sortModel->sort(IconsProxyRemarksModel::IconNameProperty, Qt::AscendingOrder);

    ui->iconsRemarksTableView->setItemDelegate(new RemarkLinesDelegate(this));
    ui->iconsRemarksTableView->setModel(m_sortModel);
    ui->iconsRemarksTableView->setSortingEnabled(true);
    ui->iconsRemarksTableView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *menu = new QMenu(this);
    QAction *copyThis = menu->addAction(i18nd("zel-find-qicon", "Copy this remark"));
    QAction *copyAll = menu->addAction(i18nd("zel-find-qicon", "Copy all remarks"));
    connect(copyThis, &QAction::triggered, this, &IconsRemarksViewDialog::copyCurrentRemark);
    connect(copyAll, &QAction::triggered, this, &IconsRemarksViewDialog::copyAllRemarks);

    ui->iconsRemarksTableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->iconsRemarksTableView, &QWidget::customContextMenuRequested, this, [this, menu](const QPoint &position) {
        menu->exec(ui->iconsRemarksTableView->viewport()->mapToGlobal(position));
    });
}

IconsRemarksViewDialog::~IconsRemarksViewDialog()
{
    delete ui;
}

QStringList IconsRemarksViewDialog::iconRemarksAtIndex(const QModelIndex &index)
{
    if (!index.isValid()) {
        return QStringList();
    }
    const QModelIndex remarkIndex =
        index.column() == IconsProxyRemarksModel::IconRemark ? index : m_sortModel->index(index.row(), IconsProxyRemarksModel::IconRemark, index.parent());
    return m_sortModel->data(remarkIndex, Qt::DisplayRole).toStringList();
}

void IconsRemarksViewDialog::copyCurrentRemark()
{
    const QStringList remarks = iconRemarksAtIndex(ui->iconsRemarksTableView->currentIndex());
    QGuiApplication::clipboard()->setText(remarks.join(QLatin1Char('\n')), QClipboard::Clipboard);
}

void IconsRemarksViewDialog::copyAllRemarks()
{
    QStringList remarks;
    const int rows = m_sortModel->rowCount();
    for (int row = 0; row < rows; ++row) {
        remarks.append(iconRemarksAtIndex(m_sortModel->index(row, 0)));
    }
    QGuiApplication::clipboard()->setText(remarks.join(QLatin1Char('\n')), QClipboard::Clipboard);
}
