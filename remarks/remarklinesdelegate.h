#ifndef REMARKLINESDELEGATE_H
#define REMARKLINESDELEGATE_H

#include <QStyledItemDelegate>

// The remarks table's cells, each as tall as its lines of text: a row sized to its
// contents then costs a count of line feeds, where laying its text out would cost the
// table seconds at every sort and resize over a large theme.
class RemarkLinesDelegate : public QStyledItemDelegate
{
public:
    explicit RemarkLinesDelegate(QObject *parent);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

#endif
