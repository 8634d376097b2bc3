#include "desktop_platform.h"
#include "layout.h"

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
    void twipsBecomePixels_data();
    void twipsBecomePixels();
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

void TestDesktopPlatform::twipsBecomePixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("exact") << 7305 << 487;
    QTest::newRow("rounds down") << 1183 << 79;
    QTest::newRow("rounds up") << 5684 << 379;
    QTest::newRow("just under half") << 22 << 1;
    QTest::newRow("just over half") << 23 << 2;
}

void TestDesktopPlatform::twipsBecomePixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(platform::twipsToPixels(twips), pixels);
}

QTEST_MAIN(TestDesktopPlatform)
#include "test_desktop_platform.moc"
