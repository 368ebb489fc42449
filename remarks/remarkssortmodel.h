#ifndef REMARKSSORTMODEL_H
#define REMARKSSORTMODEL_H

#include <QSortFilterProxyModel>

#include <memory>

class RemarksSortModelPrivate;

// The sort of the remarks table. Remark texts are made afresh at every request, which a
// sort asks for twice per comparison; one sort takes each row's text once instead.
class RemarksSortModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit RemarksSortModel(QObject *parent = nullptr);
    ~RemarksSortModel() override;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const override;

private:
    std::unique_ptr<RemarksSortModelPrivate> const d;
};

#endif
