#include "support/TestSupport.h"

#include "core/text/AnsiCodec.h"

class TestAnsiCodec : public QObject {
    Q_OBJECT
private slots:
    void gbkCharactersHaveGbkBytes_data();
    void gbkCharactersHaveGbkBytes();
    void roundTrip_data();
    void roundTrip();
    void badBytes_data();
    void badBytes();
    void unpairedSurrogates_data();
    void unpairedSurrogates();
};

void TestAnsiCodec::gbkCharactersHaveGbkBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ascii") << "abc,123\r\n" << QByteArray("abc,123\r\n");
    QTest::newRow("GB2312 hanzi") << "中文" << QByteArray::fromHex("d6d0cec4");
    QTest::newRow("order number label") << "订单编号" << QByteArray::fromHex("b6a9b5a5b1e0bac5");
    QTest::newRow("GBK-only hanzi") << "丂" << QByteArray::fromHex("8140");
    QTest::newRow("fullwidth yuan") << "￥" << QByteArray::fromHex("a3a4");
    QTest::newRow("em dash") << "—" << QByteArray::fromHex("a1aa");
    QTest::newRow("euro sign as in code page 936") << "€5" << QByteArray::fromHex("8035");
    QTest::newRow("empty") << "" << QByteArray();
}

void TestAnsiCodec::gbkCharactersHaveGbkBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeAnsi(text).toHex(), bytes.toHex());
    QCOMPARE(DecodeAnsi(bytes), text);
}

void TestAnsiCodec::roundTrip_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("mixed") << "收货人：张三 13800000000\t北京市";
    QTest::newRow("outside GBK: emoji") << "包裹📦到了";
    QTest::newRow("outside GBK: korean") << "한국어";
    QTest::newRow("outside GBK: rare hanzi") << "𠀀𪚥";
    QTest::newRow("euro among hanzi") << "价€格€";
    QTest::newRow("latin accents") << "café naïve";
}

void TestAnsiCodec::roundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(DecodeAnsi(EncodeAnsi(text)), text);
}

void TestAnsiCodec::badBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("cut-off pair at the end") << QByteArray::fromHex("41d6") << "A\uFFFD";
    QTest::newRow("0x80 as second byte stays in its pair") << QByteArray::fromHex("8180") << "亐";
    QTest::newRow("GB18030 euro") << QByteArray::fromHex("a2e3") << "€";
    QTest::newRow("cut-off four-byte sequence") << QByteArray::fromHex("418130") << "A\uFFFD";
    QTest::newRow("lead byte before a blank") << QByteArray::fromHex("d62041") << "\uFFFD A";
    QTest::newRow("0xFF") << QByteArray::fromHex("41ff42") << "A\uFFFDB";
    QTest::newRow("bad four-byte start keeps what follows") << QByteArray::fromHex("813041") << "\uFFFD0A";
    QTest::newRow("three of four bytes at the end") << QByteArray::fromHex("41813081") << "A\uFFFD";
    QTest::newRow("0x80 after a bad byte starts a character") << QByteArray::fromHex("ff8035") << "\uFFFD€5";
}

void TestAnsiCodec::badBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeAnsi(bytes), text);
}

// A surrogate without its partner has no bytes: it becomes the substitute
// byte 0x1A wherever it stands, at the end of the text too.
void TestAnsiCodec::unpairedSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("high surrogate at the end")
        << QStringLiteral("A") + QChar(0xD800) << QByteArray::fromHex("411a");
    QTest::newRow("low surrogate first")
        << QChar(0xDC00) + QStringLiteral("B") << QByteArray::fromHex("1a42");
    QTest::newRow("high surrogate before the euro sign")
        << QStringLiteral("A") + QChar(0xD800) + QStringLiteral("€") << QByteArray::fromHex("411a80");
}

void TestAnsiCodec::unpairedSurrogates()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeAnsi(text).toHex(), bytes.toHex());
}

LUMETRA_TEST_GUILESS_MAIN(TestAnsiCodec)
#include "TestAnsiCodec.moc"
