#include "technology_window.h"

#include "layout.h"
#include "picture_label.h"
#include "pictures.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::fromTwips;

namespace {

constexpr PhraseRow kDevices[] = {
    {"Calculator", "HESSAB-O-DAAD KASH", nullptr}, {"Telephone", "GOWANKO", nullptr},
    {"Television", "GEND GOSH", nullptr},          {"Type writer", "GAL TOK", nullptr},
    {"Radio", "MONAPEK", nullptr},
};

const QString kIcon = QStringLiteral("tech_window.ico");

} // namespace

frmTech::frmTech()
    : PhraseBookWindow(kDevices, controls::Border::FixedSingle, "frmTech", QStringLiteral("Technology"), kIcon,
                       platform::sizeFromTwips(6450, 3000))
{
    createControls();
    setTabOrderAndFocus();
    Form_Load();
}

void frmTech::createControls()
{
    createFrame(fromTwips(120, 120, 6135, 2655));

    cmdExit = new QPushButton(QStringLiteral("&Exit"), Frame1);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(fromTwips(2760, 2160, 1095, 375));
    connect(cmdExit, &QPushButton::clicked, this, &frmTech::cmdExit_Click);

    createText1(fromTwips(2880, 840, 2775, 375));
    createCombo1(fromTwips(240, 840, 2175, 315));

    // Decoration only: the window's own icon at its natural size.
    auto *Image1 = new PictureLabel(Frame1, "Image1", QSize(32, 32), fromTwips(5520, 2040, 480, 480));
    Image1->setPicture(pictures::icon(kIcon));

    createLabels(fromTwips(240, 480, 1455, 255), fromTwips(2880, 480, 1095, 255));
}

void frmTech::setTabOrderAndFocus()
{
    setTabOrder(Combo1, Text1);
    setTabOrder(Text1, cmdExit);
    Combo1->setFocus();
}

void frmTech::Form_Load()
{
    insertRows(0, rowCount() - 1);
}

void frmTech::cmdExit_Click()
{
    close();
}
