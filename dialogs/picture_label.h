#pragma once

#include <QIcon>
#include <QLabel>

// A label showing a picture at its logical size. It is drawn from the
// picture's image that suits the density of the screen the label is on at
// that moment, so it stays sharp on a screen of any scale, and on a window
// moved to another screen.
class PictureLabel final : public QLabel {
public:
    PictureLabel(QWidget *parent, const char *name, const QSize &size, const QRect &geometry);
    // A null picture shows nothing.
    void setPicture(const QIcon &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QIcon m_picture;
    QSize m_size;
};
