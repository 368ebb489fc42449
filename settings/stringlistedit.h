#ifndef STRINGLISTEDIT_H
#define STRINGLISTEDIT_H

#include <QStringList>
#include <QWidget>

class QStringListModel;
class Ui_StringListEdit;

class StringListEdit : public QWidget
{
    Q_OBJECT
public:
    explicit StringListEdit(QWidget *parent = nullptr);
    ~StringListEdit() override;

    void setItems(const QStringList &items);
    QStringList items() const;

    void updateButtons();

public Q_SLOTS:
    void editItem();
    void addItem();
    void removeItem();

private:
    Ui_StringListEdit *ui = nullptr;
    QStringListModel *m_model = nullptr;
};

#endif
