#include "support/ExportTestSupport.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/base/Logging.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/recovery/GridRecovery.h"
#include "core/recovery/GridSnapshot.h"
#include "core/session/RunContext.h"

#include <QtEndian>
#include <zlib.h>

using standin::RecordingPrompt;

namespace {

// Everything the recovery file must bring back, as one list of texts.
QStringList Describe(const TradeGrid& grid)
{
    QStringList d { QStringLiteral("%1x%2 fixed %3,%4 tag %5")
                        .arg(grid.Rows())
                        .arg(grid.Cols())
                        .arg(grid.FixedRows())
                        .arg(grid.FixedCols())
                        .arg(grid.Tag()) };
    for (int c = 0; c < grid.Cols(); ++c)
        d << QStringLiteral("col %1: %2 %3").arg(c).arg(grid.ColWidth(c)).arg(grid.ColAlignment(c));
    for (int r = 0; r < grid.Rows(); ++r) {
        d << QStringLiteral("row %1: %2").arg(r).arg(grid.RowHeight(r));
        for (int c = 0; c < grid.Cols(); ++c)
            d << grid.TextMatrix(r, c);
    }
    return d;
}

// The trade grid with rows as the tool leaves them: multi-line merged
// cells, a hidden row and column, texts outside the basic plane.
void FillTrades(TradeGrid& grid, int dataRows)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + dataRows);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        for (int c = ColSequence; c < grid.Cols(); ++c)
            grid.SetTextMatrix(r, c, QStringLiteral("行%1列%2").arg(r).arg(c));
    for (int c = 0; c < grid.Cols(); ++c)
        grid.SetColWidth(c, 400 + 37 * c);
    if (dataRows >= 3) {
        grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("1001\r\n1002"));
        grid.SetTextMatrix(3, ColItem, QString::fromUtf8("帽子 \xF0\x9F\x98\x80\t"));
        grid.SetTextMatrix(4, ColRecipient, QString());
        grid.SetRowHeight(2, 900);
        grid.SetRowHeight(3, 0);
        grid.SetColWidth(ColMobile, 0);
        grid.SetColAlignment(ColAmount, TradeGrid::kAlignGeneral);
    }
}

QStringList RowTextsOf(const TradeGrid& grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c)
        texts.append(grid.TextMatrix(row, c));
    return texts;
}

QByteArray Damaged(const QByteArray& good, const QString& how)
{
    QByteArray bytes = good;
    if (how == "cut in the header")
        return bytes.left(20);
    if (how == "cut in the texts")
        return bytes.left(bytes.size() - 7);
    if (how == "one byte changed")
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
    else if (how == "bytes appended")
        bytes += "xx";
    else if (how == "not a recovery file")
        bytes = "PK\x03\x04 some other file";
    else if (how == "empty file")
        bytes.clear();
    else if (how == "later format")
        qToLittleEndian(quint16(kGridSnapshotFormat + 1), bytes.data() + 10);
    return bytes;
}

// A file with findings as the format before wrote it: the findings' body
// inside the payload, one checksum over both.
QByteArray AsFormat4(const QByteArray& format5, qsizetype gridEnd)
{
    QByteArray bytes = format5.left(gridEnd) + format5.mid(gridEnd + 8);
    const qsizetype payload = bytes.size() - 32;
    qToLittleEndian(quint16(4), bytes.data() + 8);
    qToLittleEndian(quint16(4), bytes.data() + 10);
    qToLittleEndian(quint64(payload), bytes.data() + 16);
    qToLittleEndian(quint32(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.constData() + 32), size_t(payload))),
        bytes.data() + 24);
    return bytes;
}

// Buyers' names and addresses: nobody but the owner may read them.
bool OwnerOnly(const QString& path)
{
    return QFileInfo::exists(path) && !(QFile::permissions(path) & QFile::Permissions(0x0077));
}

} // namespace

class TestGridRecovery : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<int>("dataRows");
        QTest::newRow("trades with merged, hidden and emoji cells") << 5;
        QTest::newRow("cleared grid") << 0;
        QTest::newRow("one row") << 1;
    }
    void roundTrip()
    {
        QFETCH(int, dataRows);
        TradeGrid grid;
        FillTrades(grid, dataRows);
        const SnapshotReadResult read = DecodeGridSnapshot(EncodeGridSnapshot(grid));
        QCOMPARE(read.status, SnapshotStatus::Ok);
        QCOMPARE(read.snapshot.DataRows(), dataRows);
        // Applied over a grid of another shape, as at start-up.
        TradeGrid restored;
        FillTrades(restored, 9);
        restored.SetTextMatrix(0, 0, QStringLiteral("stale"));
        ApplyGridSnapshot(read.snapshot, restored);
        QCOMPARE(Describe(restored), Describe(grid));
        QVERIFY(restored.Visible());
        QCOMPARE(restored.FindOrderRow(grid.TextMatrix(grid.Rows() - 1, ColOrderNumber)),
            dataRows > 0 ? grid.Rows() - 1 : -1);
    }

    // A file written before the hidden item column (format 1) or before the
    // note columns (format 2) opens with them added, empty, the shown note
    // columns after 单号 and the hidden ones hidden, and every other cell
    // where it was.
    void earlierFormatFileGetsTheNewColumns_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("format 1") << 1;
        QTest::newRow("format 2") << 2;
    }
    void earlierFormatFileGetsTheNewColumns()
    {
        QFETCH(int, format);
        TradeGrid old;
        FillTrades(old, 4);
        old.SetCols(format == 1 ? 23 : 24);
        for (int r = old.FixedRows(); r < old.Rows() && format == 2; ++r)
            old.SetTextMatrix(r, 23, QStringLiteral("item %1").arg(r));
        if (format == 2) {
            old.SetTextMatrix(1, 23, TradeGridTitles().at(ColItemRecord));
            old.SetColWidth(23, 0);
        }
        QByteArray bytes = EncodeGridSnapshot(old);
        qToLittleEndian(quint16(format), bytes.data() + 8);
        const SnapshotReadResult read = DecodeGridSnapshot(bytes);
        QCOMPARE(read.status, SnapshotStatus::Ok);
        TradeGrid restored;
        ApplyGridSnapshot(read.snapshot, restored);
        QCOMPARE(restored.Cols(), kTradeGridCols);
        QCOMPARE(restored.ColWidth(ColItemRecord), 0);
        QCOMPARE(restored.ColWidth(ColNoteRecord), 0);
        QVERIFY(restored.ColWidth(ColBuyerMessage) > 0 && restored.ColWidth(ColSellerMemo) > 0);
        QCOMPARE(RowTextsOf(restored, 1).mid(ColBuyerMessage), TradeGridTitles().mid(ColBuyerMessage));
        QCOMPARE(restored.TextMatrix(0, ColSellerMemo), TradeGridLetters().at(ColSellerMemo));
        for (int r = 0; r < old.Rows(); ++r) {
            QCOMPARE(
                RowTextsOf(restored, r).mid(0, ColBuyerMessage), RowTextsOf(old, r).mid(0, ColBuyerMessage));
            if (r < old.FixedRows())
                continue;
            QCOMPARE(restored.TextMatrix(r, ColItemRecord), format == 2 ? old.TextMatrix(r, 23) : QString());
            for (const int c : { ColBuyerMessage, ColSellerMemo, ColNoteRecord })
                QVERIFY(restored.TextMatrix(r, c).isEmpty());
        }
    }

    // A damaged file never reaches the grid: the user is told, the file is
    // kept byte for byte, and nothing is asked.
    void unreadableFile_data()
    {
        QTest::addColumn<SnapshotStatus>("status");
        QTest::addColumn<QString>("message");
        const QString damaged = QString::fromUtf8(kRecoveryDamagedText);
        const QString newer = QString::fromUtf8(kRecoveryNewerText);
        QTest::newRow("cut in the header") << SnapshotStatus::NotASnapshot << damaged;
        QTest::newRow("cut in the texts") << SnapshotStatus::Damaged << damaged;
        QTest::newRow("one byte changed") << SnapshotStatus::Damaged << damaged;
        QTest::newRow("not a recovery file") << SnapshotStatus::NotASnapshot << damaged;
        QTest::newRow("empty file") << SnapshotStatus::NotASnapshot << damaged;
        QTest::newRow("later format") << SnapshotStatus::NewerFormat << newer;
    }
    void unreadableFile()
    {
        const QString how = QString::fromLatin1(QTest::currentDataTag());
        QFETCH(SnapshotStatus, status);
        QFETCH(QString, message);
        TradeGrid saved;
        FillTrades(saved, 5);
        const QByteArray bytes = Damaged(EncodeGridSnapshot(saved), how);
        QCOMPARE(DecodeGridSnapshot(bytes).status, status);

        QTemporaryDir dir;
        GridRecovery recovery(dir.path());
        const QString earlier = dir.filePath("grid-unreadable-1.lmtgrid"); // an earlier run's, kept
        QVERIFY(testsupport::WriteFile(earlier, "earlier"));
        QVERIFY(testsupport::WriteFile(recovery.FilePath(), bytes));
        RecordingPrompt prompt(true);
        DetailLedger ledger;
        TradeGrid grid;
        SetUpTradeGrid(grid);
        const QStringList before = Describe(grid);
        const RecoveryOfferResult offered = recovery.OfferRestore(prompt, ledger, grid);
        QCOMPARE(offered.offer, RecoveryOffer::Unreadable);
        QCOMPARE(Describe(grid), before);
        QVERIFY(prompt.questions.isEmpty() && prompt.messages.isEmpty());
        QCOMPARE(recovery.SetAsidePath(), dir.filePath("grid-unreadable-2.lmtgrid"));
        QCOMPARE(offered.toTell, message.arg(recovery.SetAsidePath()));
        QVERIFY(!QFile::exists(recovery.FilePath()));
        QCOMPARE(testsupport::ReadFile(recovery.SetAsidePath()), bytes);
        QVERIFY(OwnerOnly(recovery.SetAsidePath()));
        QCOMPARE(testsupport::ReadFile(earlier), QByteArray("earlier"));
        // A normal end keeps it for the user.
        recovery.EndCleanly();
        QVERIFY(QFile::exists(recovery.SetAsidePath()));
    }

    // A findings part that is cut, changed or from a later version costs
    // the findings it cannot read, never the grid: the cells come back
    // whole, the findings that read are kept, and the user is told.
    void findingsThatDoNotReadLeaveTheCells_data()
    {
        QTest::addColumn<int>("newerKind"); // a finding of this kind added; -1 none
        QTest::addColumn<int>("newerSeverity"); // its weight
        QTest::addColumn<bool>("findingsKept");
        QTest::addColumn<QString>("told");
        const QString damaged = QString::fromUtf8(kRecoveryFindingsDamagedText);
        const QString newer = QString::fromUtf8(kRecoveryFindingsNewerText).arg(1);
        QTest::newRow("cut inside the findings") << -1 << 0 << false << damaged;
        QTest::newRow("cut in the findings part's head") << -1 << 0 << false << damaged;
        QTest::newRow("a findings byte changed") << -1 << 0 << false << damaged;
        QTest::newRow("findings count changed") << -1 << 0 << false << damaged;
        QTest::newRow("bytes after the findings part") << -1 << 0 << true << QString();
        QTest::newRow("a finding of a newer kind") << 99 << 1 << true << newer;
        QTest::newRow("a finding of a newer weight") << int(FindingKind::FieldShape) << 7 << true << newer;
        QTest::newRow("a newer kind in a cut part") << 99 << 1 << false << damaged;
        // The format before kept its findings inside the payload, under its checksum.
        QTest::newRow("a newer kind in a format 4 file") << 99 << 1 << true << newer;
    }
    void findingsThatDoNotReadLeaveTheCells()
    {
        const QString how = QString::fromLatin1(QTest::currentDataTag());
        QFETCH(int, newerKind);
        QFETCH(int, newerSeverity);
        QFETCH(bool, findingsKept);
        QFETCH(QString, told);
        TradeGrid saved;
        FillTrades(saved, 5);
        FindingList found;
        found.Add(TradeFinding(QStringLiteral("行2列2"), FindingKind::FieldShape, ColMobile, QStringLiteral("138")));
        found.Add(PageFinding(2, FindingKind::PageShort, QStringLiteral("少了"), FindingSeverity::ToCheck));
        FindingList written = found;
        if (newerKind >= 0)
            written.Add(TradeFinding(QStringLiteral("行3列2"), FindingKind(newerKind), ColAddress,
                QStringLiteral("新"), FindingSeverity(newerSeverity)));
        QByteArray bytes = EncodeGridSnapshot(saved, written);
        const qsizetype gridEnd = EncodeGridSnapshot(saved).size();
        if (how.contains(QLatin1String("cut inside")) || how.contains(QLatin1String("cut part")))
            bytes.chop(5);
        else if (how.contains(QLatin1String("head")))
            bytes.truncate(gridEnd + 6);
        else if (how.contains(QLatin1String("byte changed")))
            bytes[bytes.size() - 3] = char(bytes[bytes.size() - 3] ^ 0x01);
        else if (how.contains(QLatin1String("count")))
            bytes[gridEnd + 8] = char(bytes[gridEnd + 8] + 1);
        else if (how.contains(QLatin1String("after")))
            bytes += "later";
        else if (how.contains(QLatin1String("format 4")))
            bytes = AsFormat4(bytes, gridEnd);

        QTemporaryDir dir;
        GridRecovery recovery(dir.path());
        QVERIFY(testsupport::WriteFile(recovery.FilePath(), bytes));
        RecordingPrompt prompt(true);
        DetailLedger ledger;
        TradeGrid grid;
        SetUpTradeGrid(grid);
        const RecoveryOfferResult offered = recovery.OfferRestore(prompt, ledger, grid);
        QCOMPARE(offered.offer, RecoveryOffer::Restored);
        QCOMPARE(prompt.questions, QStringList { "恢复上次未完成的表格（5 行）？" });
        QCOMPARE(Describe(grid), Describe(saved));
        QCOMPARE(offered.findings.All(), findingsKept ? found.All() : QList<Finding>());
        QCOMPARE(offered.toTell, told);
        QVERIFY(recovery.SetAsidePath().isEmpty());
        // The next save holds what was kept, readable whole again.
        QCOMPARE(recovery.Save(grid), RecoverySave::Saved);
        const SnapshotReadResult again = DecodeGridSnapshot(testsupport::ReadFile(recovery.FilePath()));
        QVERIFY(!again.findingsDamaged && again.findingsOfNewerKind == 0);
        QCOMPARE(again.snapshot.findings.All(), offered.findings.All());
    }

    void offerAtStart_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes restores") << true;
        QTest::newRow("no keeps the file aside") << false;
    }
    void offerAtStart()
    {
        QFETCH(bool, answer);
        QTemporaryDir home;
        const QString dir = home.filePath("recovery");
        QVERIFY(QDir().mkpath(dir) && QFile::setPermissions(dir, QFile::Permissions(0x7755)));
        TradeGrid saved;
        FillTrades(saved, 4);
        // The grid's marks survive the crash with it.
        FindingList found;
        found.Add(TradeFinding(QStringLiteral("行2列2"), FindingKind::FieldShape, ColMobile, QStringLiteral("138")));
        found.Add(PageFinding(2, FindingKind::PageShort, QStringLiteral("少了"), FindingSeverity::ToCheck));
        FindingList walkSoFar;
        walkSoFar.Add(TradeFinding(QStringLiteral("行3列2"), FindingKind::MaskedMobile, ColMobile,
            QStringLiteral("138****5678"), FindingSeverity::Note));
        {
            GridRecovery lastRun(dir);
            QCOMPARE(lastRun.Save(saved, found), RecoverySave::Saved);
            QCOMPARE(lastRun.SaveDuringCommand(saved, walkSoFar), RecoverySave::Saved);
        } // ends without EndCleanly, as a crash would
        found.Append(walkSoFar);
        // Also a folder an earlier version left open to others.
        QVERIFY(OwnerOnly(dir) && OwnerOnly(dir + QStringLiteral("/grid.lmtgrid")));

        GridRecovery recovery(dir);
        RecordingPrompt prompt(answer);
        RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery });
        TradeGrid grid;
        SetUpTradeGrid(grid);
        const QStringList empty = Describe(grid);
        // A checkpoint before the offer leaves the last run's grid alone.
        QCOMPARE(recovery.Save(grid), RecoverySave::Off);
        const RecoveryOfferResult offered = StartGridRecovery(run.checkpoint, run.Prompt(), run.details, grid);
        QCOMPARE(offered.offer, answer ? RecoveryOffer::Restored : RecoveryOffer::Declined);
        QCOMPARE(offered.findings.All(), answer ? found.All() : QList<Finding>());
        QCOMPARE(prompt.questions, QStringList { "恢复上次未完成的表格（4 行）？" });
        QCOMPARE(Describe(grid), answer ? Describe(saved) : empty);
        // The restored trade without a recipient is fetched again later.
        QCOMPARE(run.details.FailedOrders(), answer ? QStringList { "行4列2" } : QStringList());
        QCOMPARE(QFile::exists(recovery.FilePath()), answer);
        QCOMPARE(OwnerOnly(recovery.DeclinedPath()), !answer);

        // From now on every checkpoint saves; clearing saves the empty grid.
        grid.SetRows(grid.FixedRows());
        CheckpointGrid(run.checkpoint, grid);
        const SnapshotReadResult cleared = DecodeGridSnapshot(testsupport::ReadFile(recovery.FilePath()));
        QCOMPARE(cleared.status, SnapshotStatus::Ok);
        QCOMPARE(cleared.snapshot.DataRows(), 0);

        // A normal end removes both files and stops saving.
        EndGridCheckpoints(run.checkpoint, grid);
        QVERIFY(!QFile::exists(recovery.FilePath()));
        QVERIFY(!QFile::exists(recovery.DeclinedPath()));
        CheckpointGrid(run.checkpoint, grid);
        QVERIFY(!QFile::exists(recovery.FilePath()));
    }

    // An empty saved grid is not offered; a second instance on the same
    // folder neither offers nor touches the file the first one keeps.
    void nothingOffered()
    {
        QTemporaryDir dir;
        TradeGrid grid;
        FillTrades(grid, 0);
        QCOMPARE(GridRecovery(dir.path()).Save(grid), RecoverySave::Saved);
        GridRecovery first(dir.path());
        RecordingPrompt prompt;
        DetailLedger ledger;
        QCOMPARE(first.OfferRestore(prompt, ledger, grid).offer, RecoveryOffer::Nothing);
        QVERIFY(!QFile::exists(first.FilePath()));

        FillTrades(grid, 3);
        QCOMPARE(first.Save(grid), RecoverySave::Saved);
        GridRecovery second(dir.path());
        QVERIFY(!second.Active());
        TradeGrid other;
        QCOMPARE(second.OfferRestore(prompt, ledger, other).offer, RecoveryOffer::Nothing);
        QCOMPARE(second.Save(other), RecoverySave::Off);
        second.EndCleanly();
        QVERIFY(prompt.questions.isEmpty());
        QCOMPARE(DecodeGridSnapshot(testsupport::ReadFile(first.FilePath())).snapshot.DataRows(), 3);
    }

    // A write that cannot be completed (full disk) leaves the last good
    // file: the recovery file, told once per run and asked about before a
    // close, and the log, which keeps whole lines only.
    void failedSaveKeepsTheLastFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("recovery file") << "recovery";
        QTest::newRow("log file") << "log";
        QTest::newRow("lock file on a disk full at start") << "lock";
    }
    void failedSaveKeepsTheLastFile()
    {
        QFETCH(QString, file);
        QTemporaryDir dir;
        if (file == "lock") {
            FullDiskAtStart(dir.path());
            return;
        }
        if (file == "log") {
            const QString path = dir.filePath(QStringLiteral("run.log"));
            const LogFile file(path);
            qCWarning(lcGrid) << "a line that fits";
            const QByteArray good = testsupport::ReadFile(path);
            {
                exporttest::FileSizeLimit limit(good.size() + 100);
                if (!limit.active())
                    QSKIP("cannot limit file sizes here");
                qCWarning(lcGrid) << QString(500, QLatin1Char('x'));
            }
            QCOMPARE(testsupport::ReadFile(path), good);
            return;
        }
        GridRecovery recovery(dir.path());
        TradeGrid grid;
        FillTrades(grid, 3);
        QCOMPARE(recovery.Save(grid), RecoverySave::Saved);
        const QByteArray good = testsupport::ReadFile(recovery.FilePath());
        FillTrades(grid, 400);
        RecordingPrompt prompt;
        RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery });
        {
            exporttest::FileSizeLimit limit(good.size() + 100);
            if (!limit.active())
                QSKIP("cannot limit file sizes here");
            QCOMPARE(recovery.Save(grid), RecoverySave::Failed);
            QVERIFY(recovery.LastSaveFailed());
            QVERIFY(!MayEndWithGrid(run.checkpoint, run.Prompt(), grid));
        }
        QCOMPARE(prompt.questions, QStringList { QString::fromUtf8(kCloseUnsavedQuestion).arg(400) });
        QCOMPARE(testsupport::ReadFile(recovery.FilePath()), good);
        QCOMPARE(exporttest::Entries(dir.path()), (QStringList { "grid.lmtgrid", "lock" }));
        QVERIFY(MayEndWithGrid(run.checkpoint, run.Prompt(), grid)); // the disk takes it again
    }

private:
    // No room for the lock file: a failed save, told at start, not another
    // instance. The last run's grid is still offered, a close asks (also
    // during a command), and once there is room the saves go on.
    void FullDiskAtStart(const QString& dir)
    {
        TradeGrid saved;
        FillTrades(saved, 4);
        {
            GridRecovery lastRun(dir);
            QCOMPARE(lastRun.Save(saved), RecoverySave::Saved);
        } // a crash
        RecordingPrompt prompt(true);
        std::optional<exporttest::FileSizeLimit> full(std::in_place, 0);
        if (!full->active())
            QSKIP("cannot limit file sizes here");
        GridRecovery recovery(dir);
        QVERIFY(!recovery.Active());
        RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery });
        TradeGrid grid;
        SetUpTradeGrid(grid);
        const RecoveryOfferResult offered = StartGridRecovery(run.checkpoint, run.Prompt(), run.details, grid);
        QCOMPARE(offered.offer, RecoveryOffer::Restored);
        QCOMPARE(offered.toTell, QString::fromUtf8(kRecoverySaveFailedText));
        QCOMPARE(Describe(grid), Describe(saved));
        prompt.answer = false; // keep the window open
        grid.SetTextMatrix(2, ColRecipient, QStringLiteral("改过"));
        QCOMPARE(recovery.Save(grid), RecoverySave::Failed);
        QVERIFY(!MayEndWithGrid(run.checkpoint, run.Prompt(), grid, true));
        QVERIFY(!MayEndWithGrid(run.checkpoint, run.Prompt(), grid));
        QCOMPARE(prompt.questions.mid(1), QStringList(2, QString::fromUtf8(kCloseUnsavedQuestion).arg(4)));
        QCOMPARE(exporttest::Entries(dir), QStringList { "grid.lmtgrid" });
        full.reset(); // room again
        QCOMPARE(recovery.Save(grid), RecoverySave::Saved);
        QVERIFY(recovery.Active());
        QCOMPARE(DecodeGridSnapshot(testsupport::ReadFile(recovery.FilePath())).snapshot.DataRows(), 4);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestGridRecovery)
#include "TestGridRecovery.moc"
