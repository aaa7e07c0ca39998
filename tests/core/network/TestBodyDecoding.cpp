// Which charset an HTTP body is decoded with, and the line breaks after.

#include "core/network/BodyDecoding.h"
#include "core/text/AnsiCodec.h"
#include "support/TestSupport.h"

class TestBodyDecoding : public QObject {
    Q_OBJECT
private slots:
    void contentTypeCharset_data();
    void contentTypeCharset();
    void metaCharset_data();
    void metaCharset();
    void decode_data();
    void decode();
    void invalidBytesKeepTheValidText();
};

void TestBodyDecoding::contentTypeCharset_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << QByteArray("text/html; charset=UTF-8") << QByteArray("utf-8");
    QTest::newRow("quoted") << QByteArray("text/html; charset=\"gbk\"") << QByteArray("gbk");
    QTest::newRow("blanks around =") << QByteArray("text/html;charset = GB2312") << QByteArray("gb2312");
    QTest::newRow("none") << QByteArray("text/html") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("charset without value") << QByteArray("text/html; charset=") << QByteArray();
}

void TestBodyDecoding::contentTypeCharset()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, expected);
    QCOMPARE(CharsetFromContentType(contentType), expected);
}

void TestBodyDecoding::metaCharset_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("meta charset") << QByteArray("<html><head><META Charset=\"UTF-8\"></head>")
                                  << QByteArray("utf-8");
    QTest::newRow("http-equiv") << QByteArray(
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">")
                                << QByteArray("gbk");
    QTest::newRow("unquoted") << QByteArray("<meta charset=big5>") << QByteArray("big5");
    QTest::newRow("charset outside a meta tag") << QByteArray("<p>charset=utf-8</p>") << QByteArray();
    QTest::newRow("first meta without charset, second with")
        << QByteArray("<meta name=\"x\" content=\"y\"><meta charset=\"utf-8\">") << QByteArray("utf-8");
    QTest::newRow("beyond the first bytes")
        << QByteArray(5000, ' ') + "<meta charset=\"utf-8\">" << QByteArray();
    QTest::newRow("unclosed meta") << QByteArray("<meta charset=utf-8") << QByteArray("utf-8");
}

void TestBodyDecoding::metaCharset()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(CharsetFromMeta(body), expected);
}

void TestBodyDecoding::decode_data()
{
    const QString chinese = QStringLiteral("收货人：张三，电话：13800000000");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");
    QTest::newRow("undeclared is GBK") << EncodeAnsi(chinese) << QByteArray("text/html") << chinese;
    QTest::newRow("header UTF-8") << chinese.toUtf8() << QByteArray("text/html; charset=utf-8") << chinese;
    QTest::newRow("header GB2312 read as GB18030")
        << EncodeAnsi(chinese) << QByteArray("text/html; charset=gb2312") << chinese;
    QTest::newRow("header wins over meta")
        << QByteArray("<meta charset=\"gbk\">") + chinese.toUtf8() << QByteArray("text/html; charset=utf-8")
        << QStringLiteral("<meta charset=\"gbk\">") + chinese;
    QTest::newRow("meta UTF-8") << QByteArray("<meta charset=\"utf-8\">") + chinese.toUtf8() << QByteArray()
                                << QStringLiteral("<meta charset=\"utf-8\">") + chinese;
    QTest::newRow("unknown label falls back to meta")
        << QByteArray("<meta charset=\"utf-8\">") + chinese.toUtf8()
        << QByteArray("text/html; charset=no-such") << QStringLiteral("<meta charset=\"utf-8\">") + chinese;
    QTest::newRow("unknown labels fall back to GBK")
        << QByteArray("<meta charset=\"bogus\">") + EncodeAnsi(chinese)
        << QByteArray("text/html; charset=no-such") << QStringLiteral("<meta charset=\"bogus\">") + chinese;
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << QByteArray("text/html; charset=gbk") << chinese;
    QTest::newRow("line breaks") << QByteArray("a\nb\r\nc\rd\n\n") << QByteArray()
                                 << "a\r\nb\r\nc\r\nd\r\n\r\n";
    QTest::newRow("empty") << QByteArray() << QByteArray("text/html; charset=utf-8") << QString();
}

void TestBodyDecoding::decode()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    QCOMPARE(DecodeHttpBody(body, contentType), expected);
}

void TestBodyDecoding::invalidBytesKeepTheValidText()
{
    const QString text = DecodeHttpBody(QByteArray("ok\xFF\xFF tail"), QByteArray());
    QVERIFY(text.startsWith(QLatin1String("ok")));
    QVERIFY(text.endsWith(QLatin1String(" tail")));
    // A body cut in the middle of a character still ends in a visible mark.
    const QString cut = DecodeHttpBody(QByteArray("ok\xE5\x8F"), QByteArray("text/html; charset=utf-8"));
    QVERIFY(cut.startsWith(QStringLiteral("ok\uFFFD")));
}

LUMETRA_TEST_GUILESS_MAIN(TestBodyDecoding)
#include "TestBodyDecoding.moc"
