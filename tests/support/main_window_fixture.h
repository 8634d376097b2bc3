#pragma once

#include "form1.h"
#include "recording_platform.h"
#include "word_list_fixture.h"

#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <QtTest>

#include <memory>

// The main window in a temporary program folder, shown and active, with a
// recorder for what it asks of the desktop.
struct MainWindowFixture {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    std::unique_ptr<Form1> window = std::make_unique<Form1>(platform);

    MainWindowFixture()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    template<typename T>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    // Runs a menu item by its name.
    void run(const QString &item) const
    {
        auto *action = window->findChild<QAction *>(item);
        QVERIFY2(action, qPrintable(item));
        action->trigger();
    }
    void clickToolbar(const QString &key) const
    {
        QAction *button = window->findChild<QAction *>(QStringLiteral("Toolbar1_") + key);
        QVERIFY2(button, qPrintable(key));
        QTest::mouseClick(find<QToolBar>("Toolbar1")->widgetForAction(button), Qt::LeftButton);
    }
};
