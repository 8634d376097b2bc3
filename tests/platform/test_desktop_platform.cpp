#include "desktop_platform.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

// Counts close events: ending the program must not run any window's closing code.
class CloseCounter final : public QObject {
public:
    int closes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

class TestDesktopPlatform : public QObject {
    Q_OBJECT
private slots:
    void endProgramHidesEveryWindowWithoutClosingIt();
};

void TestDesktopPlatform::endProgramHidesEveryWindowWithoutClosingIt()
{
    QWidget main;
    QWidget secondary;
    CloseCounter counter;
    main.installEventFilter(&counter);
    secondary.installEventFilter(&counter);
    main.show();
    secondary.show();

    platform::DesktopPlatform desktop;
    desktop.endProgram();
    QVERIFY(!main.isVisible());
    QVERIFY(!secondary.isVisible());
    QCOMPARE(counter.closes, 0);
}

QTEST_MAIN(TestDesktopPlatform)
#include "test_desktop_platform.moc"
