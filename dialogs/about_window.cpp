#include "about_window.h"

#include "controls.h"
#include "layout.h"
#include "picture_label.h"
#include "pictures.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

using platform::fromTwips;
using platform::twipsToPixels;

namespace {

const QString kIcon = QStringLiteral("main.ico");
const QColor kBlack(0, 0, 0);

void pictureLabel(QWidget *parent, const char *name, const QIcon &picture, const QSize &size, const QRect &geometry)
{
    auto *holder = new PictureLabel(parent, name, size, geometry);
    holder->setPicture(picture);
    holder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// One line of the separator, drawn from (x1, y) to (x2, y) in twips.
void horizontalLine(QWidget *parent, const char *name, int x1, int x2, int y, int width, const QColor &colour)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(twipsToPixels(x1), twipsToPixels(y), twipsToPixels(x2) - twipsToPixels(x1) + 1, width);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

} // namespace

frmAbout::frmAbout() : QDialog(nullptr, controls::windowFlags(controls::Border::Dialog))
{
    controls::setUpWindow(*this, "frmAbout", QStringLiteral("About Parlanta"), kIcon,
                          platform::sizeFromTwips(5730, 3885));
    createControls();
    cmdOK->setFocus(); // the only control that takes the focus
    placeOnScreen();
}

void frmAbout::createControls()
{
    pictureLabel(this, "picIcon", pictures::icon(kIcon), QSize(32, 32), fromTwips(240, 240, 540, 540));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(fromTwips(4320, 3360, 1260, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    // The hint cannot grow to the right without running into cmdOK, so where
    // the font is too wide for one line it wraps onto a second, taking the
    // room down to the window's bottom edge.
    QLabel *Label3 = controls::boldLabel(this, "Label3", QStringLiteral("For more information please read Readme.txt"),
                                         fromTwips(240, 3480, 3975, 390));
    Label3->setWordWrap(true);
    controls::label(this, "Label2", QStringLiteral("parlanta@example.org"), fromTwips(1920, 3000, 2295, 375));
    controls::label(this, "Label1", QStringLiteral("Parlanta team"), fromTwips(360, 3000, 1455, 255));
    pictureLabel(this, "Image1", pictures::bitmap(QStringLiteral("banner.bmp"), false), QSize(355, 81),
                 fromTwips(240, 1200, 5325, 1215));
    horizontalLine(this, "Line1_1", 120, 5684, 2445, 1, QColor(128, 128, 128));
    controls::label(this, "lblDescription", QStringLiteral("Balouchi dictionary"), fromTwips(1080, 840, 2325, 330),
                    kBlack);
    controls::label(this, "lblTitle", QStringLiteral("Parlanta v2.0"), fromTwips(1050, 240, 3885, 240), kBlack);
    horizontalLine(this, "Line1_0", 105, 5654, 2460, 2, QColor(255, 255, 255));
    controls::label(this, "lblVersion", QStringLiteral("For 32-bit Windows"), fromTwips(1080, 480, 3885, 225));
    QLabel *lblDisclaimer = controls::label(this, "lblDisclaimer",
                                            QStringLiteral("Copyright (C) Parlanta contributors"),
                                            fromTwips(255, 2625, 3030, 345), kBlack);
    lblDisclaimer->setWordWrap(true);
}

void frmAbout::placeOnScreen()
{
    // The stored place of the client area, from the screen's top-left corner.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
    setGeometry(QRect(corner + fromTwips(2340, 1935, 0, 0).topLeft(), size()));
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // cmdOK is the cancel button as well as the default one.
    if (event->key() == Qt::Key_Escape) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOK_Click()
{
    close();
}
