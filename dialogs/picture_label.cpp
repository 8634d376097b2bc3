#include "picture_label.h"

#include <QPainter>
#include <QStyle>

PictureLabel::PictureLabel(QWidget *parent, const char *name, const QSize &size, const QRect &geometry)
    : QLabel(parent), m_size(size)
{
    setObjectName(QLatin1String(name));
    if (geometry.isValid())
        setGeometry(geometry);
}

void PictureLabel::setPicture(const QIcon &picture)
{
    m_picture = picture;
    // The normal-density image as the label's own pixmap gives it its size
    // and makes it a graphic for screen readers; painting takes the image
    // the screen needs.
    setPixmap(picture.isNull() ? QPixmap() : picture.pixmap(m_size, 1.0));
}

void PictureLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_picture.paint(&painter, QStyle::alignedRect(layoutDirection(), alignment(), m_size, contentsRect()),
                    alignment());
}
