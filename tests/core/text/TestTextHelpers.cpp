#include "support/TestSupport.h"

#include "core/text/TextHelpers.h"

class TestTextHelpers : public QObject {
    Q_OBJECT
private slots:
    void cutAtMarker_data();
    void cutAtMarker();
    void cutAtMarkerRepeatedCuts();
    void stripBetween_data();
    void stripBetween();
    void leadingNumber_data();
    void leadingNumber();
    void leadingNumberIgnoresProcessLocale();
    void numberText_data();
    void numberText();
    void numberTextRoundTrip_data();
    void numberTextRoundTrip();
    void formatDuration_data();
    void formatDuration();
    void singleText_data();
    void singleText();
    void normalizeLineBreaks_data();
    void normalizeLineBreaks();
};

void TestTextHelpers::cutAtMarker_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("left");

    QTest::newRow("forward, twice") << "a|b|c"
                                    << "|" << true << "a"
                                    << "b|c";
    QTest::newRow("backward, twice") << "a|b|c"
                                     << "|" << false << "c"
                                     << "a|b";
    QTest::newRow("forward, absent") << "abc"
                                     << "|" << true << ""
                                     << "abc";
    QTest::newRow("backward, absent") << "abc"
                                      << "|" << false << ""
                                      << "abc";
    QTest::newRow("forward, at start") << "|abc"
                                       << "|" << true << ""
                                       << "abc";
    QTest::newRow("forward, at end") << "abc|"
                                     << "|" << true << "abc"
                                     << "";
    QTest::newRow("backward, at end") << "abc|"
                                      << "|" << false << ""
                                      << "abc";
    QTest::newRow("backward, at start") << "|abc"
                                        << "|" << false << "abc"
                                        << "";
    QTest::newRow("whole text is marker") << "<td>"
                                          << "<td>" << true << ""
                                          << "";
    QTest::newRow("multi-char marker") << "x<td>y<td>z"
                                       << "<td>" << true << "x"
                                       << "y<td>z";
    QTest::newRow("multi-char backward") << "x<td>y<td>z"
                                         << "<td>" << false << "z"
                                         << "x<td>y";
    QTest::newRow("case-sensitive") << "a<TD>b"
                                    << "<td>" << true << ""
                                    << "a<TD>b";
    QTest::newRow("empty text") << ""
                                << "|" << true << ""
                                << "";
    QTest::newRow("overlapping forward") << "aaa"
                                         << "aa" << true << ""
                                         << "a";
    QTest::newRow("overlapping backward") << "aaa"
                                          << "aa" << false << ""
                                          << "a";
    QTest::newRow("chinese marker") << "订单编号：123 成交时间：x"
                                    << "成交时间：" << true << "订单编号：123 "
                                    << "x";
}

void TestTextHelpers::cutAtMarker()
{
    QFETCH(QString, text);
    QFETCH(QString, marker);
    QFETCH(bool, forward);
    QFETCH(QString, result);
    QFETCH(QString, left);
    QCOMPARE(CutAtMarker(text, marker, forward), result);
    QCOMPARE(text, left);
}

void TestTextHelpers::cutAtMarkerRepeatedCuts()
{
    // Parsers walk a text by cutting it again and again.
    QString text = QStringLiteral("<td>1</td><td>2</td><td>3</td>tail");
    QStringList cells;
    for (int i = 0; i < 3; ++i) {
        CutAtMarker(text, QStringLiteral("<td>"), true);
        cells << CutAtMarker(text, QStringLiteral("</td>"), true);
    }
    QCOMPARE(cells, QStringList({ "1", "2", "3" }));
    QCOMPARE(text, QStringLiteral("tail"));
}

void TestTextHelpers::stripBetween_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");

    QTest::newRow("two tags") << "<b>bold</b> text"
                              << "<"
                              << ">"
                              << ""
                              << "bold text";
    QTest::newRow("no open marker") << "plain > text"
                                    << "<"
                                    << ">"
                                    << ""
                                    << "plain > text";
    QTest::newRow("unclosed tag") << "keep<br"
                                  << "<"
                                  << ">"
                                  << ""
                                  << "keep";
    QTest::newRow("unclosed after closed") << "a<i>b<c"
                                           << "<"
                                           << ">"
                                           << ""
                                           << "ab";
    QTest::newRow("tag at start") << "<p>x"
                                  << "<"
                                  << ">"
                                  << ""
                                  << "x";
    QTest::newRow("tag at end") << "x<p>"
                                << "<"
                                << ">"
                                << ""
                                << "x";
    QTest::newRow("only a tag") << "<p>"
                                << "<"
                                << ">"
                                << ""
                                << "";
    QTest::newRow("nested opens") << "a<<b>c>d"
                                  << "<"
                                  << ">"
                                  << ""
                                  << "ac>d";
    QTest::newRow("close right after open") << "a<>b"
                                            << "<"
                                            << ">"
                                            << ""
                                            << "ab";
    QTest::newRow("replacement") << "a<x>b<y>c"
                                 << "<"
                                 << ">"
                                 << " "
                                 << "a b c";
    QTest::newRow("empty text") << ""
                                << "<"
                                << ">"
                                << ""
                                << "";
    QTest::newRow("open marker of two characters: unchanged") << "a<!--x-->b"
                                                              << "<!--"
                                                              << "-->"
                                                              << ""
                                                              << "a<!--x-->b";
    QTest::newRow("replacement holds open marker: unchanged") << "a<b>c"
                                                              << "<"
                                                              << ">"
                                                              << "<"
                                                              << "a<b>c";
    QTest::newRow("empty open marker: unchanged") << "a<b>c"
                                                  << ""
                                                  << ">"
                                                  << ""
                                                  << "a<b>c";
    QTest::newRow("chinese text") << "<td>宝贝</td>价格"
                                  << "<"
                                  << ">"
                                  << ""
                                  << "宝贝价格";
}

void TestTextHelpers::stripBetween()
{
    QFETCH(QString, text);
    QFETCH(QString, open);
    QFETCH(QString, close);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(StripBetween(text, open, close, replacement), result);
    QCOMPARE(text, result);
}

void TestTextHelpers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("price with yuan sign") << "12.50元" << 12.5;
    QTest::newRow("integer") << "30" << 30.0;
    QTest::newRow("thousands comma stops") << "1,200" << 1.0;
    QTest::newRow("blanks inside") << "1 2.5" << 12.5;
    QTest::newRow("tabs and line feeds") << "\t1\n2 .\t5x" << 12.5;
    QTest::newRow("carriage return stops") << "1\r2" << 1.0;
    QTest::newRow("two points") << "1.2.3" << 1.2;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "7." << 7.0;
    QTest::newRow("leading minus") << "-3.25" << -3.25;
    QTest::newRow("leading plus") << "+4" << 4.0;
    QTest::newRow("sign then blank") << "- 8" << -8.0;
    QTest::newRow("two signs") << "+-5" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("exponent") << "1.5E3" << 1500.0;
    QTest::newRow("small e") << "2e2" << 200.0;
    QTest::newRow("negative exponent") << "25E-2" << 0.25;
    QTest::newRow("exponent with plus") << "1E+2abc" << 100.0;
    QTest::newRow("dangling exponent") << "3E" << 3.0;
    QTest::newRow("dangling exponent sign") << "3E-x" << 3.0;
    QTest::newRow("exponent without mantissa digits") << ".E5" << 0.0;
    QTest::newRow("yuan sign first") << "¥12.50" << 0.0;
    QTest::newRow("fullwidth yuan first") << "￥12.50" << 0.0;
    QTest::newRow("dollar first") << "$5" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("fullwidth digits are not digits") << "１２" << 0.0;
    QTest::newRow("leading zeros") << "007.00" << 7.0;
    QTest::newRow("beyond double range") << "1E999" << 0.0;
    QTest::newRow("below double range") << "1E-999" << 0.0;
    QTest::newRow("version text") << "2.00" << 2.0;
}

void TestTextHelpers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LeadingNumber(text), value);
}

void TestTextHelpers::leadingNumberIgnoresProcessLocale()
{
    // A locale with a decimal comma must not change how "12.5" reads.
    const char* previous = setlocale(LC_NUMERIC, nullptr);
    const QByteArray saved = previous ? QByteArray(previous) : QByteArray("C");
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8") && !setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        QSKIP("no locale with a decimal comma installed");
    const double value = LeadingNumber(QStringLiteral("12.5"));
    setlocale(LC_NUMERIC, saved.constData());
    QCOMPARE(value, 12.5);
}

void TestTextHelpers::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("12.5") << 12.5 << "12.5";
    QTest::newRow("30.0") << 30.0 << "30";
    QTest::newRow("negative") << -3.25 << "-3.25";
    QTest::newRow("negative integer") << -7.0 << "-7";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
    QTest::newRow("1e15 - 1") << 1e15 - 1 << "999999999999999";
    QTest::newRow("15 digits with fraction") << 1234567.89012345 << "1234567.89012345";
    QTest::newRow("16th digit rounds") << 0.1234567890123456 << "0.123456789012346";
    QTest::newRow("12.5 + 7") << 12.5 + 7 << "19.5";
    QTest::newRow("small fraction") << 0.0001 << "0.0001";
    QTest::newRow("sum of prices") << 19.9 + 0.1 << "20";
    QTest::newRow("large exponent form") << 1e15 << "1E+15";
    QTest::newRow("tiny exponent form") << 0.00001 << "1E-05";
}

void TestTextHelpers::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText(value), text);
}

void TestTextHelpers::numberTextRoundTrip_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");

    QTest::newRow("7.00") << "7.00"
                          << "7";
    QTest::newRow("2.10") << "2.10"
                          << "2.1";
    QTest::newRow("price with sign") << "128.00元"
                                     << "128";
    QTest::newRow("nothing") << "—"
                             << "0";
    QTest::newRow("negative") << "-0.50"
                              << "-0.5";
}

void TestTextHelpers::numberTextRoundTrip()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QCOMPARE(NumberText(LeadingNumber(input)), output);
}

void TestTextHelpers::formatDuration_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("negative") << qint64(-5) << "0:0";
    QTest::newRow("zero") << qint64(0) << "0:0";
    QTest::newRow("5 s") << qint64(5) << "0:5";
    QTest::newRow("59 s") << qint64(59) << "0:59";
    QTest::newRow("60 s") << qint64(60) << "1:0";
    QTest::newRow("75 s") << qint64(75) << "1:15";
    QTest::newRow("last second of the first hour") << qint64(3599) << "59:59";
    QTest::newRow("one hour") << qint64(3600) << "1:0:0";
    QTest::newRow("3661 s") << qint64(3661) << "1:1:1";
    QTest::newRow("last second of the day") << qint64(86399) << "23:59:59";
    QTest::newRow("one day") << qint64(86400) << "24:0:0";
    QTest::newRow("30 hours") << qint64(30 * 3600) << "30:0:0";
    QTest::newRow("61 hours") << qint64(61 * 3600 + 61) << "61:1:1";
}

void TestTextHelpers::formatDuration()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatDuration(seconds), text);
}

void TestTextHelpers::singleText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("quarter") << 0.25f << "0.25";
    QTest::newRow("six of seventeen") << float(6.0 / 17.0) << "0.3529412";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("one") << 1.0f << "1";
    QTest::newRow("a third") << float(1.0 / 3.0) << "0.3333333";
    QTest::newRow("0.1 is not 0.100000001") << 0.1f << "0.1";
}

void TestTextHelpers::singleText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(SingleText(value), text);
    QCOMPARE(float(LeadingNumber(text)), value);
}

void TestTextHelpers::normalizeLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::newRow("no breaks") << "abc"
                               << "abc";
    QTest::newRow("lone LF") << "a\nb"
                             << "a\r\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\r\nb";
    QTest::newRow("CR LF stays") << "a\r\nb"
                                 << "a\r\nb";
    QTest::newRow("LF CR is two breaks") << "a\n\rb"
                                         << "a\r\n\r\nb";
    QTest::newRow("break at both ends") << "\na\r"
                                        << "\r\na\r\n";
    QTest::newRow("double CR before LF") << "\r\r\n"
                                         << "\r\n\r\n";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTextHelpers::normalizeLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(NormalizeLineBreaks(text), result);
    QCOMPARE(NormalizeLineBreaks(result), result);
}

LUMETRA_TEST_GUILESS_MAIN(TestTextHelpers)
#include "TestTextHelpers.moc"
