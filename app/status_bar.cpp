#include "status_bar.h"

#include "layout.h"
#include "picture_label.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kPanelWidthTwips = 2415;
constexpr int kPanelMinimumTwips = 1440;
constexpr int kHeightTwips = 375;
constexpr int kPictureSize = 16;
} // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFixedHeight(platform::twipsToPixels(kHeightTwips));
    // One item holding the three panels side by side: as items of their own
    // they would be spaced apart, and the bar would grow wider than its window.
    auto *panels = new QWidget(this);
    panels->setObjectName(QStringLiteral("Panels"));
    auto *row = new QHBoxLayout(panels);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    int number = 1;
    for (PanelWidgets &panel : m_panels) {
        panel.frame = new QWidget(panels);
        panel.frame->setObjectName(QStringLiteral("Panel%1").arg(number++));
        panel.frame->setMinimumWidth(platform::twipsToPixels(kPanelMinimumTwips));
        panel.frame->setFixedWidth(platform::twipsToPixels(kPanelWidthTwips));
        auto *layout = new QHBoxLayout(panel.frame);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setSpacing(3);
        panel.picture = new PictureLabel(panel.frame, "", QSize(kPictureSize, kPictureSize), QRect());
        panel.picture->setFixedSize(kPictureSize, kPictureSize);
        panel.picture->setAccessibleName(QString());
        panel.text = new QLabel(panel.frame);
        panel.text->setTextFormat(Qt::PlainText);
        layout->addWidget(panel.picture);
        layout->addWidget(panel.text, 1);
        panel.picture->hide();
        row->addWidget(panel.frame);
    }
    addWidget(panels);
}

void MainStatusBar::setPanelText(Panel panel, const QString &text)
{
    PanelWidgets &widgets = at(panel);
    widgets.text->setText(text);
    widgets.frame->setAccessibleName(text);
}

void MainStatusBar::setPanelPicture(Panel panel, const QIcon &picture)
{
    PanelWidgets &widgets = at(panel);
    widgets.icon = picture;
    widgets.picture->setPicture(picture);
    widgets.picture->setVisible(!picture.isNull());
}

QString MainStatusBar::panelText(Panel panel) const
{
    return at(panel).text->text();
}

QIcon MainStatusBar::panelPicture(Panel panel) const
{
    return at(panel).icon;
}
