#include "picture_holder.h"

PictureHolder::PictureHolder(const QIcon &picture, QWidget *parent)
    : QLabel(parent), m_picture(picture)
{
    if (!m_picture.isNull())
        setPixmap(m_picture.pixmap(32, 32));
}
