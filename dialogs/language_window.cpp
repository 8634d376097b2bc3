#include "language_window.h"

#include "controls.h"
#include "layout.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using platform::fromTwips;

namespace {

// Two spaces after each sentence; the last one has no full stop.
const QString kParagraph = QStringLiteral(
    "Baluchi as a langauge is much influenced by successive waves of western invaders, notably Persians who "
    "colonised the area.  "
    "The one exception among the peoples of the region is the Brahui, whose language is classed as Dravidian and "
    "is akin to languages spoken far away to the south.  "
    "How this came to be so can only be guessed at.  "
    "Baluchi has no written tradition of its own, so the written forms given in this dictionary can only "
    "approximate the sounds of the spoken language.  "
    "The Baluchis themselves are a people of mixed Persian, Scythian and Arab stock and, like their neighbours, "
    "they are Muslims");

} // namespace

Dialog::Dialog() : QDialog(nullptr, controls::windowFlags(controls::Border::Dialog))
{
    controls::setUpWindow(*this, "Dialog", QStringLiteral("Language"), QStringLiteral("main.ico"),
                          platform::sizeFromTwips(6315, 3570));
    createControls();
    OKButton->setFocus();
    controls::centreOnScreen(*this);
}

void Dialog::createControls()
{
    QGroupBox *Frame1 = controls::frame(this, "Frame1", fromTwips(120, 0, 5895, 3375));

    OKButton = new QPushButton(QStringLiteral("OK"), Frame1);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(fromTwips(4560, 2880, 1215, 375));
    // Neither default nor cancel button: Enter presses it only while it has
    // the focus, as in every window.
    OKButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &Dialog::OKButton_Click);

    // Widened from 4455 twips so that the whole paragraph shows in the wider
    // fonts that stand in for the classic dialog font; it ends as far from the
    // frame's right edge as it starts from the left.
    QLabel *Label1 = controls::label(Frame1, "Label1", kParagraph, fromTwips(360, 720, 5175, 2175), QColor(0, 0, 255));
    Label1->setWordWrap(true);

    controls::boldLabel(Frame1, "Label2", QStringLiteral("THE LANGUAGE AND PEOPLE"), fromTwips(360, 360, 2775, 375),
                        QColor(255, 0, 0));
}

void Dialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Dialog::OKButton_Click()
{
    close();
}
