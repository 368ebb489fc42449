#ifndef ICONSREMARKSVIEWDIALOG_H
#define ICONSREMARKSVIEWDIALOG_H

#include <QDialog>
#include <QStringList>

class IconsModel;
class QSortFilterProxyModel;
class Ui_IconsRemarksViewDialog;

class IconsRemarksViewDialog : public QDialog
{
    Q_OBJECT
public:
    IconsRemarksViewDialog(IconsModel *iconsModel, QWidget *parent);
    ~IconsRemarksViewDialog() override;

    QStringList iconRemarksAtIndex(const QModelIndex &index);

    void copyCurrentRemark();
    void copyAllRemarks();

private:
    QSortFilterProxyModel *m_sortModel = nullptr;
    Ui_IconsRemarksViewDialog *ui = nullptr;
};

#endif
