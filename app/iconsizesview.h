#ifndef ICONSIZESVIEW_H
#define ICONSIZESVIEW_H

#include "catalogue/iconsizechoice.h"

#include <QPixmap>
#include <QWidget>

// A found name at every standard size, at scale 1 and as on a screen of scale 2, each
// drawn as the toolkit draws it, labelled with its size, and marked where the toolkit
// scales another size's file. The tool tip of a cell names the file and its folder.
class IconSizesView : public QWidget
{
    Q_OBJECT
public:
    explicit IconSizesView(QWidget *parent = nullptr);

    void setIconName(const QString &name);
    // What the view shows, on its background, as one image.
    QImage montage();

    QSize sizeHint() const override;

    static const QList<int> &scales();
    // The brush of a background choice: window, light, dark or checkerboard.
    static QBrush backgroundBrush(const QString &background, const QPalette &palette);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRect cellRect(int index) const;

    QVector<IconSizeChoice> m_choices;
    QVector<QPixmap> m_pixmaps;
};

#endif
