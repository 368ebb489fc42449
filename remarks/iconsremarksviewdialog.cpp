#include "iconsremarksviewdialog.h"

#include "iconsproxyremarksmodel.h"
#include "remarkssortmodel.h"

#include "catalogue/iconsmodel.h"
#include "sizehintmemodelegate.h"
#include "ui_iconsremarksviewdialog.h"

#include <KLocalizedString>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>

IconsRemarksViewDialog::IconsRemarksViewDialog(IconsModel *iconsModel, QWidget *parent)
    : QDialog(parent, Qt::WindowFlags())
    , ui(new Ui_IconsRemarksViewDialog)
{
    ui->setupUi(this);

    auto *remarksModel = new IconsProxyRemarksModel(iconsModel, this);
    m_sortModel = new RemarksSortModel(this);
    m_sortModel->setSourceModel(remarksModel);
    m_sortModel->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_sortModel->sort(IconsProxyRemarksModel::IconNameProperty, Qt::AscendingOrder);

    auto *delegate = new SizeHintMemoDelegate(this);
    delegate->setContentRevision([model = QPointer<IconsModel>(iconsModel)]() {
        return model ? model->contentRevision() : 0;
    });
    ui->iconsRemarksTableView->setItemDelegate(delegate);
    ui->iconsRemarksTableView->setModel(m_sortModel);
    ui->iconsRemarksTableView->setSortingEnabled(true);
    ui->iconsRemarksTableView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    giveRemarksColumnItsWidth();

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

// Rows sized before the header stretches the remarks column are sized twice; laying the
// header out at its coming width first makes the costly pass happen once.
void IconsRemarksViewDialog::giveRemarksColumnItsWidth()
{
    layout()->activate();
    QTableView *table = ui->iconsRemarksTableView;
    QHeaderView *header = table->horizontalHeader();
    // The form hides the vertical header; a long list brings the vertical scroll bar.
    const int viewportWidth = table->contentsRect().width() - table->verticalScrollBar()->sizeHint().width();
    const QSize oldSize = header->size();
    header->resize(viewportWidth, header->sizeHint().height());
    QResizeEvent resized(header->size(), oldSize);
    QCoreApplication::sendEvent(header, &resized);
    // Stretches the last section anew over the header's new width; a plain resize of the
    // section would also make its new width the least it may shrink to.
    header->setStretchLastSection(false);
    header->setStretchLastSection(true);
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
