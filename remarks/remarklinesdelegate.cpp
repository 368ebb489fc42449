#include "remarklinesdelegate.h"

#include <QApplication>
#include <QStyle>

RemarkLinesDelegate::RemarkLinesDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QSize RemarkLinesDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int lines = index.data(Qt::DisplayRole).toString().count(QLatin1Char('\n')) + 1;
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, option.widget) + 1;
    return QSize(option.rect.width(), qMax(option.decorationSize.height(), lines * option.fontMetrics.lineSpacing()) + 2 * margin);
}
