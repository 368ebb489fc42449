#include "stringlistorderedit.h"

#include "ui_stringlistorderedit.h"

#include <QStringListModel>

StringListOrderEdit::StringListOrderEdit(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_StringListOrderEdit)
    , m_model(new QStringListModel(this))
{
    ui->setupUi(this);
    connect(ui->toolButtonUp, &QToolButton::clicked, this, &StringListOrderEdit::upItem);
    connect(ui->toolButtonDown, &QToolButton::clicked, this, &StringListOrderEdit::downItem);
    ui->listView->setModel(m_model);
    connect(ui->listView->selectionModel(), &QItemSelectionModel::currentChanged, this, &StringListOrderEdit::updateButtons);
    updateButtons();
}

StringListOrderEdit::~StringListOrderEdit()
{
    delete ui;
}

void StringListOrderEdit::setItems(const QStringList &items)
{
    m_model->setStringList(items);
}

QStringList StringListOrderEdit::items() const
{
    return m_model->stringList();
}

void StringListOrderEdit::updateButtons()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        ui->toolButtonUp->setEnabled(false);
        ui->toolButtonDown->setEnabled(false);
        return;
    }
    const int row = current.row();
    ui->toolButtonUp->setEnabled(row != 0);
    ui->toolButtonDown->setEnabled(row != m_model->rowCount() - 1);
}

void StringListOrderEdit::upItem()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (current.isValid()) {
        m_model->moveRows(QModelIndex(), current.row(), 1, QModelIndex(), current.row() - 1);
    }
    updateButtons();
}

void StringListOrderEdit::downItem()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (current.isValid()) {
        // The destination counts rows before the move, so one place down is two ahead.
        m_model->moveRows(QModelIndex(), current.row(), 1, QModelIndex(), current.row() + 2);
    }
    updateButtons();
}
