#include "emblemiconengine.h"

#include <QPainter>
#include <QPixmap>

EmblemIconEngine::EmblemIconEngine(const QIcon &icon, const QMap<Qt::Corner, QString> &emblems)
    : m_icon(icon)
    , m_emblems(emblems)
{
}

QRect EmblemIconEngine::emblemRect(const QRect &rect, Qt::Corner corner)
{
    const QSize size(qMax(1, rect.width() / 2), qMax(1, rect.height() / 2));
    switch (corner) {
    case Qt::TopLeftCorner:
        return QRect(rect.topLeft(), size);
    case Qt::TopRightCorner:
        return QRect(QPoint(rect.left() + rect.width() - size.width(), rect.top()), size);
    case Qt::BottomLeftCorner:
        return QRect(QPoint(rect.left(), rect.top() + rect.height() - size.height()), size);
    case Qt::BottomRightCorner:
        return QRect(QPoint(rect.left() + rect.width() - size.width(), rect.top() + rect.height() - size.height()), size);
    }
    return QRect();
}

void EmblemIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    m_icon.paint(painter, rect, Qt::AlignCenter, mode, state);
    for (auto it = m_emblems.constBegin(); it != m_emblems.constEnd(); ++it) {
        const QRect target = emblemRect(rect, it.key());
        if (target.isValid()) {
            QIcon::fromTheme(it.value()).paint(painter, target, Qt::AlignCenter, mode, state);
        }
    }
}

QPixmap EmblemIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    // The canvas is what the icon itself would give at this size, so emblems never change its size.
    const QSize canvas = actualSize(size, mode, state);
    if (canvas.isEmpty()) {
        return QPixmap();
    }
    QPixmap result(canvas);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paint(&painter, QRect(QPoint(0, 0), canvas), mode, state);
    return result;
}

QSize EmblemIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return m_icon.actualSize(size, mode, state);
}

QList<QSize> EmblemIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) const
{
    return m_icon.availableSizes(mode, state);
}

QString EmblemIconEngine::key() const
{
    return QStringLiteral("ZelEmblemIconEngine");
}

QIconEngine *EmblemIconEngine::clone() const
{
    return new EmblemIconEngine(m_icon, m_emblems);
}
