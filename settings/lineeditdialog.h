#ifndef LINEEDITDIALOG_H
#define LINEEDITDIALOG_H

#include <QDialog>

class QDialogButtonBox;
class QLineEdit;
class QVBoxLayout;

class LineEditDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LineEditDialog(QWidget *parent = nullptr);
    ~LineEditDialog() override;

    void setText(const QString &text);
    QString text() const;

private:
    QVBoxLayout *verticalLayout = nullptr;
    QLineEdit *lineEdit = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
};

#endif
