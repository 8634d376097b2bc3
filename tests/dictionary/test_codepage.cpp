#include "codepage.h"

#include <QtTest>

using namespace dictionary;

class TestCodepage : public QObject {
    Q_OBJECT
private slots:
    void upperCasesByTable_data();
    void upperCasesByTable();
    void everyByteRoundTrips();
    void encodeRefusesWhatTheCodePageCannotHold();
};

void TestCodepage::upperCasesByTable_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("upper");
    QTest::newRow("a") << int('a') << int('A');
    QTest::newRow("z") << int('z') << int('Z');
    QTest::newRow("digit kept") << int('7') << int('7');
    QTest::newRow("a grave") << 0xE0 << 0xC0;
    QTest::newRow("o diaeresis") << 0xF6 << 0xD6;
    QTest::newRow("division sign kept") << 0xF7 << 0xF7;
    QTest::newRow("o slash") << 0xF8 << 0xD8;
    QTest::newRow("thorn") << 0xFE << 0xDE;
    QTest::newRow("y diaeresis") << 0xFF << 0x9F;
    QTest::newRow("s caron") << 0x9A << 0x8A;
    QTest::newRow("oe") << 0x9C << 0x8C;
    QTest::newRow("z caron") << 0x9E << 0x8E;
    QTest::newRow("sharp s kept") << 0xDF << 0xDF;
    QTest::newRow("micro kept") << 0xB5 << 0xB5;
    QTest::newRow("florin kept") << 0x83 << 0x83;
    QTest::newRow("capital kept") << 0xC9 << 0xC9;
}

void TestCodepage::upperCasesByTable()
{
    QFETCH(int, byte);
    QFETCH(int, upper);
    QCOMPARE(int(codepage::upper(static_cast<unsigned char>(byte))), upper);
}

void TestCodepage::everyByteRoundTrips()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = codepage::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x81), QChar(0x81));
    QCOMPARE(text.at(0xE9), QChar(0xE9));
    QCOMPARE(codepage::encode(text), std::optional<QByteArray>(all));
}

void TestCodepage::encodeRefusesWhatTheCodePageCannotHold()
{
    QCOMPARE(codepage::encode(QStringLiteral("caf\u00e9 \u20ac")), std::optional<QByteArray>("caf\xe9 \x80"));
    QCOMPARE(codepage::encode(QStringLiteral("\u0628")), std::nullopt); // Arabic letter beh
    QCOMPARE(codepage::encode(QStringLiteral("\U0001F600")), std::nullopt);
    QCOMPARE(codepage::encodeLossy(QStringLiteral("a\u0628b")), QByteArray("a?b"));
}

QTEST_APPLESS_MAIN(TestCodepage)
#include "test_codepage.moc"
