#include "support/TestSupport.h"

#include "core/extract/MergeRules.h"
#include "core/extract/SubstringIndex.h"

#include <QRandomGenerator>

namespace {

QString RandomText(QRandomGenerator& random, const QString& alphabet, int maxLength)
{
    QString text;
    const int length = int(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at(random.bounded(alphabet.size())));
    return text;
}

} // namespace

class TestSubstringIndex : public QObject {
    Q_OBJECT
private slots:
    void answersLikeAPlainSearch_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("two letters") << QStringLiteral("ab") << 1u;
        QTest::newRow("digits and line breaks") << QStringLiteral("0123_\r\n") << 2u;
        QTest::newRow("wide characters") << QStringLiteral("帽子围巾省市区") << 3u;
    }
    void answersLikeAPlainSearch()
    {
        QFETCH(QString, alphabet);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        SubstringIndex index;
        QString text;
        for (int round = 0; round < 400; ++round) {
            const QString chunk = RandomText(random, alphabet, 12);
            index.Append(chunk);
            text += chunk;
            for (int q = 0; q < 10; ++q) {
                QString query;
                if (q % 2 == 0 && !text.isEmpty()) {
                    const qsizetype from = random.bounded(text.size());
                    query = text.mid(from, random.bounded(20));
                } else {
                    query = RandomText(random, alphabet, 8);
                }
                if (index.Contains(query) != text.contains(query))
                    QFAIL(qPrintable(QStringLiteral("round %1 query \"%2\"").arg(round).arg(query)));
            }
        }
    }

    void emptyIndexHoldsOnlyTheEmptyText()
    {
        SubstringIndex index;
        QVERIFY(index.Contains(QString()));
        QVERIFY(!index.Contains(QStringLiteral("a")));
    }

    void joinedTextSameAcrossIndexThreshold_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 5") << 5u;
        QTest::newRow("seed 6") << 6u;
    }
    void joinedTextSameAcrossIndexThreshold()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QString first = RandomText(random, QStringLiteral("0123"), 5);
        JoinedText joined(first);
        QString plain = first;
        for (int i = 0; i < 3000; ++i) {
            const QString value = RandomText(random, QStringLiteral("0123_"), 6);
            joined.Add(value);
            if (!plain.contains(value))
                plain += QStringLiteral("\r\n") + value;
        }
        QVERIFY2(plain.size() > 4096, "the text must grow past the indexing length");
        QCOMPARE(joined.Text(), plain);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestSubstringIndex)
#include "TestSubstringIndex.moc"
