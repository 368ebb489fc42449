#include "iconsizesview.h"

#include "app/constants.h"
#include "catalogue/iconfileguard.h"

#include <KLocalizedString>

#include <QHelpEvent>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QToolTip>

namespace
{
constexpr int margin = 8;
constexpr int labelLines = 2;

}

IconSizesView::IconSizesView(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

const QList<int> &IconSizesView::scales()
{
    static const QList<int> scales = {1, 2};
    return scales;
}

void IconSizesView::setIconName(const QString &name)
{
    m_choices = name.isEmpty() ? QVector<IconSizeChoice>() : IconSizeChoice::of(name, standartIconSizes, scales());
    m_pixmaps.clear();
    const QIcon icon = QIcon::fromTheme(name);
    for (const IconSizeChoice &choice : qAsConst(m_choices)) {
        // Nothing is decoded that the window refuses elsewhere; drawn() asks the guard itself.
        if (choice.scale != 1) {
            m_pixmaps.append(QPixmap::fromImage(IconSizeChoice::drawn(choice.file, choice.size, choice.scale)));
        } else if (!choice.file.isEmpty() && IconFileGuard::isDecodable(choice.file)) {
            m_pixmaps.append(icon.pixmap(QSize(choice.size, choice.size)));
        } else {
            m_pixmaps.append(QPixmap());
        }
    }
    updateGeometry();
    update();
}

QRect IconSizesView::cellRect(int index) const
{
    const int columns = standartIconSizes.size();
    const int row = index / columns;
    const int column = index % columns;
    // Wide enough for the longest label under the smallest sizes.
    const int narrowest = 4 * fontMetrics().averageCharWidth() + 32;
    int x = margin;
    for (int i = 0; i < column; ++i) {
        x += std::max(standartIconSizes.at(i), narrowest) + margin;
    }
    const int width = std::max(standartIconSizes.at(column), narrowest);
    const int height = standartIconSizes.last() + labelLines * fontMetrics().height();
    return QRect(x, margin + row * (height + margin), width, height);
}

QSize IconSizesView::sizeHint() const
{
    const QRect last = cellRect(standartIconSizes.size() * scales().size() - 1);
    return QSize(last.right() + margin, last.bottom() + margin);
}

void IconSizesView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (int i = 0; i < m_choices.size(); ++i) {
        const IconSizeChoice &choice = m_choices.at(i);
        const QRect cell = cellRect(i);
        const QPixmap &pixmap = m_pixmaps.at(i);
        const QSize shown = pixmap.size() / pixmap.devicePixelRatio();
        painter.drawPixmap(QRect(QPoint(cell.left() + (cell.width() - shown.width()) / 2, cell.top() + standartIconSizes.last() - shown.height()), shown),
                           pixmap);
        QString label = choice.scale == 1 ? QStringLiteral("%1").arg(choice.size) : QStringLiteral("%1@%2").arg(choice.size).arg(choice.scale);
        if (choice.scaledFrom > 0) {
            label += QLatin1Char('\n') + i18nd("zel-find-qicon", "from %1", QString::number(choice.scaledFrom));
        }
        painter.drawText(QRect(cell.left(), cell.top() + standartIconSizes.last(), cell.width(), labelLines * fontMetrics().height()),
                         Qt::AlignHCenter | Qt::AlignTop,
                         label);
    }
}

bool IconSizesView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const QPoint position = static_cast<QHelpEvent *>(event)->pos();
    for (int i = 0; i < m_choices.size(); ++i) {
        const IconSizeChoice &choice = m_choices.at(i);
        if (!cellRect(i).contains(position)) {
            continue;
        }
        QString tip = choice.file.isEmpty()
            ? i18nd("zel-find-qicon", "No icon at %1 pixels, scale %2.", QString::number(choice.size), QString::number(choice.scale))
            : i18nd("zel-find-qicon",
                    "%1\nFolder %2: Size %3, Type %4, Scale %5",
                    choice.file,
                    choice.folder,
                    QString::number(choice.folderSize),
                    choice.folderType,
                    QString::number(choice.folderScale));
        if (choice.scaledFrom > 0) {
            tip += QLatin1Char('\n')
                + i18nd("zel-find-qicon",
                        "The toolkit scales the file of size %1 to %2 pixels.",
                        QString::number(choice.scaledFrom),
                        QString::number(choice.size * choice.scale));
        }
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, this);
        return true;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

QImage IconSizesView::montage()
{
    QImage image(size().expandedTo(sizeHint()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    resize(image.size());
    render(&image);
    return image;
}

QBrush IconSizesView::backgroundBrush(const QString &background, const QPalette &palette)
{
    if (background == QLatin1String("light")) {
        return QColor(0xfc, 0xfc, 0xfc);
    }
    if (background == QLatin1String("dark")) {
        return QColor(0x23, 0x26, 0x29);
    }
    if (background == QLatin1String("checkerboard")) {
        QPixmap tile(16, 16);
        tile.fill(QColor(0xff, 0xff, 0xff));
        QPainter painter(&tile);
        painter.fillRect(0, 0, 8, 8, QColor(0xcc, 0xcc, 0xcc));
        painter.fillRect(8, 8, 8, 8, QColor(0xcc, 0xcc, 0xcc));
        return QBrush(tile);
    }
    return palette.brush(QPalette::Window);
}
