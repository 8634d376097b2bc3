#pragma once

#include <QIcon>
#include <QList>

// The main window's image list: thirteen 32 x 32 pictures for the toolbar,
// addressed by index from 1.
class ImageList {
public:
    ImageList();
    int count() const { return int(m_images.size()); }
    // The picture at `index` (1 to count()); a null icon outside that range.
    QIcon image(int index) const;

private:
    QList<QIcon> m_images;
};
