#pragma once

#include <QIcon>
#include <QLabel>

// A picture holder of the main window: it keeps a picture for the status bar
// to take over, and is never shown. A holder without a picture gives the
// empty picture, which clears a panel's picture.
class PictureHolder final : public QLabel {
    Q_OBJECT
public:
    explicit PictureHolder(const QIcon &picture, QWidget *parent);
    const QIcon &picture() const { return m_picture; }

private:
    QIcon m_picture;
};
