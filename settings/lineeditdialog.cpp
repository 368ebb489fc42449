#include "lineeditdialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

LineEditDialog::LineEditDialog(QWidget *parent)
    : QDialog(parent)
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("LineEditDialog"));
    }
    resize(275, 74);

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));

    lineEdit = new QLineEdit(this);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    verticalLayout->addWidget(lineEdit);

    buttonBox = new QDialogButtonBox(this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    buttonBox->setOrientation(Qt::Horizontal);
    buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    verticalLayout->addWidget(buttonBox);

    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QMetaObject::connectSlotsByName(this);
}

LineEditDialog::~LineEditDialog() = default;

void LineEditDialog::setText(const QString &text)
{
    lineEdit->setText(text);
}

QString LineEditDialog::text() const
{
    return lineEdit->text();
}
