#include "codepage.h"
#include "days_window.h"
#include "lookup.h"
#include "numbers_window.h"
#include "technology_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace dictionary;

namespace {

// The word list that ships with the program, read with the program's own scan.
QByteArray shipped()
{
    QFile file(QStringLiteral(STARTER_WORD_LIST));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Its entries, one a line after the header.
QList<QByteArray> entryLines()
{
    QList<QByteArray> lines = shipped().trimmed().split('\n');
    return lines.mid(1);
}

ScanResult lookUp(const QByteArray &key)
{
    return scanEntries(shipped(), "lexon", key);
}

QString upperCased(const QString &word)
{
    return codepage::decode(codepage::upper(codepage::encode(word).value_or("?")));
}

} // namespace

class TestStarterWordList : public QObject {
    Q_OBJECT
private slots:
    void wholeList()
    {
        QVERIFY(shipped().startsWith("[lexon]\r\n"));
        // A key it lacks scans every line: one without "=", or a list past the
        // line limit, would make this throw.
        ScanOutcome absent = ScanOutcome::Found;
        QVERIFY_THROWS_NO_EXCEPTION(absent = lookUp("\x01 absent").outcome);
        QCOMPARE(int(absent), int(ScanOutcome::NotFound));
        QSet<QByteArray> keys;
        for (const QByteArray &line : entryLines())
            keys.insert(codepage::upper(line.left(line.indexOf('='))));
        QVERIFY(keys.size() >= 700);
        QCOMPARE(keys.size(), entryLines().size()); // no key hides another
    }

    void everyEntryFound_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        for (const QByteArray &line : entryLines()) {
            const QByteArray entry = line.trimmed();
            const qsizetype equals = entry.indexOf('=');
            QTest::newRow(entry.constData()) << entry.left(equals) << entry.mid(equals + 1);
        }
    }
    void everyEntryFound()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const ScanResult result = lookUp(key);
        QCOMPARE(int(result.outcome), int(ScanOutcome::Found));
        QCOMPARE(result.value, value);
        QCOMPARE(codepage::upper(value), value); // stored as the Add-word dialog stores it
    }

    // The phrase books' words, as their windows show them, and words a user
    // will look for first.
    void searches_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("balouchi");
        for (const auto &window : {std::unique_ptr<QWidget>(new Form2), std::unique_ptr<QWidget>(new Form3),
                                   std::unique_ptr<QWidget>(new frmTech)}) {
            auto *list = window->findChild<QComboBox *>(QStringLiteral("Combo1"));
            for (int i = 0; i < list->count(); ++i) {
                list->setCurrentIndex(i);
                emit list->activated(i);
                const QString word = window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
                QTest::addRow("%s", qPrintable(list->itemText(i))) << list->itemText(i) << upperCased(word);
            }
        }
        QTest::newRow("country") << "Germany" << "JARMANI";
        QTest::newRow("language") << "arabic" << "ARABI";
        QTest::newRow("month") << "MARCH" << QString::fromUtf8("MÁRCH");
        QTest::newRow("date word") << "Tomorrow" << QString::fromUtf8("BÁNDÁ");
        QTest::newRow("currency") << "pakistani rupee" << QString::fromUtf8("PÁKESTÁNI RUPI");
    }
    void searches()
    {
        QFETCH(QString, english);
        QFETCH(QString, balouchi);
        const ScanResult result = lookUp(*codepage::encode(english));
        QCOMPARE(int(result.outcome), int(ScanOutcome::Found));
        QCOMPARE(codepage::decode(result.value), balouchi);
    }
};

QTEST_MAIN(TestStarterWordList)
#include "test_starter_word_list.moc"
