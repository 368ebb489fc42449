#ifndef EMBLEMICONENGINE_H
#define EMBLEMICONENGINE_H

#include <QIcon>
#include <QIconEngine>
#include <QMap>

// Composes at render time so each requested size is drawn from the sources, never rescaled.
class EmblemIconEngine : public QIconEngine
{
public:
    EmblemIconEngine(const QIcon &icon, const QMap<Qt::Corner, QString> &emblems);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) const override;
    QString key() const override;
    QIconEngine *clone() const override;

    static QRect emblemRect(const QRect &rect, Qt::Corner corner);

private:
    QIcon m_icon;
    QMap<Qt::Corner, QString> m_emblems;
};

#endif
