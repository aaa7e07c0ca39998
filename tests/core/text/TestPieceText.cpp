#include "support/TestSupport.h"

#include "core/text/PieceText.h"
#include "core/text/TextHelpers.h"

#include <QRandomGenerator>

class TestPieceText : public QObject {
    Q_OBJECT
private slots:
    // Number cells are written from their digits where that gives the
    // same text as reading the number and writing it back.
    void cellNumberLikeReadAndWrite_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("prices") << QStringLiteral("0001234567890..") << 8;
        QTest::newRow("long digit runs") << QStringLiteral("000000000123456789.") << 22;
        QTest::newRow("what may follow") << QStringLiteral("0012.5 \t\neE+-元(x") << 10;
    }
    void cellNumberLikeReadAndWrite()
    {
        QFETCH(QString, alphabet);
        QFETCH(int, maxLength);
        QRandomGenerator random(7);
        for (int round = 0; round < 20000; ++round) {
            QString cell;
            const int length = int(random.bounded(maxLength + 1));
            for (int i = 0; i < length; ++i)
                cell += alphabet.at(int(random.bounded(int(alphabet.size()))));
            const QString expected = NumberText(LeadingNumber(TrimBlanks(cell)));
            if (CellNumber(cell) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("\"%1\": got %2, expected %3").arg(cell, CellNumber(cell), expected)));
        }
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestPieceText)
#include "TestPieceText.moc"
