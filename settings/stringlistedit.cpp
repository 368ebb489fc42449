#include "stringlistedit.h"

#include "lineeditdialog.h"
#include "ui_stringlistedit.h"

#include <KLocalizedString>

#include <QStringListModel>

StringListEdit::StringListEdit(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_StringListEdit)
    , m_model(new QStringListModel(this))
{
    ui->setupUi(this);
    connect(ui->toolButtonEdit, &QToolButton::clicked, this, &StringListEdit::editItem);
    connect(ui->toolButtonAdd, &QToolButton::clicked, this, &StringListEdit::addItem);
    connect(ui->toolButtonRemove, &QToolButton::clicked, this, &StringListEdit::removeItem);
    ui->listView->setModel(m_model);
    connect(ui->listView->selectionModel(), &QItemSelectionModel::currentChanged, this, &StringListEdit::updateButtons);
    updateButtons();
}

StringListEdit::~StringListEdit()
{
    delete ui;
}

void StringListEdit::setItems(const QStringList &items)
{
    m_model->setStringList(items);
}

QStringList StringListEdit::items() const
{
    return m_model->stringList();
}

void StringListEdit::updateButtons()
{
    const bool hasCurrent = ui->listView->currentIndex().isValid();
    ui->toolButtonEdit->setEnabled(hasCurrent);
    ui->toolButtonRemove->setEnabled(hasCurrent);
    ui->toolButtonAdd->setEnabled(true);
}

void StringListEdit::editItem()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        return;
    }
    LineEditDialog dialog;
    dialog.setWindowTitle(i18nd("zel-find-qicon", "Edit"));
    dialog.setText(current.data(Qt::DisplayRole).toString());
    if (dialog.exec() == QDialog::Accepted) {
        m_model->setData(current, dialog.text(), Qt::EditRole);
    }
}

void StringListEdit::addItem()
{
    LineEditDialog dialog;
    dialog.setWindowTitle(i18nd("zel-find-qicon", "Add"));
    if (dialog.exec() == QDialog::Accepted) {
        const int row = m_model->rowCount();
        m_model->insertRows(row, 1);
        m_model->setData(m_model->index(row, 0), dialog.text(), Qt::EditRole);
    }
}

void StringListEdit::removeItem()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        return;
    }
    m_model->removeRows(current.row(), 1);
}
