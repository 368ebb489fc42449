#ifndef STRINGLISTORDEREDIT_H
#define STRINGLISTORDEREDIT_H

#include <QStringList>
#include <QWidget>

class QStringListModel;
class Ui_StringListOrderEdit;

class StringListOrderEdit : public QWidget
{
    Q_OBJECT
public:
    explicit StringListOrderEdit(QWidget *parent = nullptr);
    ~StringListOrderEdit() override;

    void setItems(const QStringList &items);
    QStringList items() const;

    void updateButtons();

public Q_SLOTS:
    void upItem();
    void downItem();

private:
    Ui_StringListOrderEdit *ui = nullptr;
    QStringListModel *m_model = nullptr;
};

#endif
