#include "support/TestSupport.h"

#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"

#include <memory>

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void init();

    void stepsInPagesMode_data();
    void stepsInPagesMode();
    void fractionBelowOneThousandthLeavesCounterAndTimes();
    void modes_data();
    void modes();
    void startKeepsTextsOfAnOpenWindow();
    void negativeStartKeepsPosition();
    void zeroStartClearsTheBar();
    void notOpenBeforeFirstUse();
    void userClosingTheWindow();
    void closeOnClosedWindowDoesNothing();
    void fraction_data();
    void fraction();
    void percentText_data();
    void percentText();
    void timesText_data();
    void timesText();

private:
    std::unique_ptr<RecordingProgressView> view_;
    std::unique_ptr<Progress> progress_;
};

void TestProgress::init()
{
    view_ = std::make_unique<RecordingProgressView>();
    progress_ = std::make_unique<Progress>();
    progress_->SetView(view_.get());
}

void TestProgress::stepsInPagesMode_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QStringList>("percents");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<double>("bar");

    QTest::newRow("total 5") << 5 << 5 << QStringList { "20%", "40%", "60%", "80%", "100%" } << "(5/5)"
                             << 1.0;
    QTest::newRow("total 3, rounded down")
        << 3 << 3 << QStringList { "33.3%", "66.6%", "100%" } << "(3/3)" << 1.0;
    QTest::newRow("total 2") << 2 << 2 << QStringList { "50%", "100%" } << "(2/2)" << 1.0;
    QTest::newRow("total 0 counts as 1") << 0 << 1 << QStringList { "100%" } << "(1/1)" << 1.0;
    QTest::newRow("past a total of 0") << 0 << 2 << QStringList { "100%", "200%" } << "(2/1)" << 1.0;
    QTest::newRow("negative total counts as 1") << -4 << 1 << QStringList { "100%" } << "(1/1)" << 1.0;
    QTest::newRow("total 7") << 7 << 7
                             << QStringList { "14.2%", "28.5%", "42.8%", "57.1%", "71.4%", "85.7%", "100%" }
                             << "(7/7)" << 1.0;
    QTest::newRow("halfway") << 8 << 4 << QStringList { "12.5%", "25%", "37.5%", "50%" } << "(4/8)" << 0.5;
}

void TestProgress::stepsInPagesMode()
{
    QFETCH(int, total);
    QFETCH(int, steps);
    QFETCH(QStringList, percents);
    QFETCH(QString, counter);
    QFETCH(double, bar);

    QCOMPARE(StartProgress(*progress_, QStringLiteral("正在提取交易信息..."), total, 0), 0);
    QVERIFY(view_->shown);
    QCOMPARE(view_->message, QStringLiteral("正在提取交易信息..."));
    for (int i = 0; i < steps; ++i)
        StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(view_->percentHistory, percents);
    QCOMPARE(view_->counter, counter);
    QCOMPARE(view_->bar, bar);
    QCOMPARE(progress_->State().position, steps);
    QCOMPARE(progress_->State().total, qMax(total, 1));
    // Within the same second the times read zero elapsed.
    QVERIFY(view_->times.startsWith(QLatin1String("0:")));
}

void TestProgress::fractionBelowOneThousandthLeavesCounterAndTimes()
{
    StartProgress(*progress_, QStringLiteral("m"), 500, 0);
    StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(view_->percent, QStringLiteral("0.2%"));
    QCOMPARE(view_->counter, QStringLiteral("(1/500)"));

    StartProgress(*progress_, QStringLiteral("m"), 5000, 0);
    view_->counter = QStringLiteral("before");
    view_->times = QStringLiteral("before");
    StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(view_->percent, QStringLiteral("0%"));
    QCOMPARE(view_->counter, QStringLiteral("before"));
    QCOMPARE(view_->times, QStringLiteral("before"));
    QVERIFY(view_->bar > 0); // the bar still moves: 1/5000 of its width
}

void TestProgress::modes_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("countsPages");
    QTest::addColumn<QString>("message");

    QTest::newRow("pages") << "pages" << true << "start";
    QTest::newRow("PAGES") << "PAGES" << true << "start";
    QTest::newRow("Pages") << "Pages" << true << "start";
    QTest::newRow("empty") << "" << false << "start";
    QTest::newRow("other text") << "正在下载物流信息...." << false << "正在下载物流信息....";
    QTest::newRow("almost pages") << "page" << false << "page";
}

void TestProgress::modes()
{
    QFETCH(QString, mode);
    QFETCH(bool, countsPages);
    QFETCH(QString, message);

    StartProgress(*progress_, QStringLiteral("start"), 4, 0);
    view_->counter = QStringLiteral("kept");
    view_->times = QStringLiteral("kept");
    StepProgress(*progress_, 1, mode);
    QCOMPARE(view_->percent, QStringLiteral("25%"));
    QCOMPARE(view_->bar, 0.25);
    QCOMPARE(view_->message, message);
    QCOMPARE(progress_->State().message, message);
    QCOMPARE(view_->counter, countsPages ? QStringLiteral("(1/4)") : QStringLiteral("kept"));
    if (countsPages) // zero seconds elapsed, or one when the second just changed
        QVERIFY2(view_->times == QLatin1String("0:0/0:0/0:0") || view_->times == QLatin1String("0:1/0:3/0:4"),
            qPrintable(view_->times));
    else
        QCOMPARE(view_->times, QStringLiteral("kept"));
}

void TestProgress::startKeepsTextsOfAnOpenWindow()
{
    StartProgress(*progress_, QStringLiteral("first"), 5, 0);
    QCOMPARE(view_->percent, QStringLiteral("0%")); // design text
    StepProgress(*progress_, 2, ProgressPagesMode());
    StartProgress(*progress_, QStringLiteral("second"), 10, 0);
    QCOMPARE(view_->message, QStringLiteral("second"));
    QCOMPARE(view_->percent, QStringLiteral("40%"));
    QCOMPARE(view_->counter, QStringLiteral("(2/5)"));
    QCOMPARE(view_->loads, 1);
}

void TestProgress::negativeStartKeepsPosition()
{
    StartProgress(*progress_, QStringLiteral("first"), 10, 0);
    for (int i = 0; i < 3; ++i)
        StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(StartProgress(*progress_, QStringLiteral("again"), 10, -1), 3);
    QCOMPARE(progress_->State().position, 3);
    QCOMPARE(view_->bar, 0.3);
    StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(view_->counter, QStringLiteral("(4/10)"));
}

void TestProgress::zeroStartClearsTheBar()
{
    StartProgress(*progress_, QStringLiteral("first"), 2, 0);
    StepProgress(*progress_, 1, ProgressPagesMode());
    QCOMPARE(view_->bar, 0.5);
    QCOMPARE(StartProgress(*progress_, QStringLiteral("again"), 2, 0), 0);
    QCOMPARE(view_->bar, 0.0);
    QCOMPARE(progress_->State().position, 0);
}

void TestProgress::notOpenBeforeFirstUse()
{
    QVERIFY(!ProgressWindowOpen(*progress_));
}

void TestProgress::userClosingTheWindow()
{
    StartProgress(*progress_, QStringLiteral("正在提取交易信息..."), 500, 0);
    StepProgress(*progress_, 1, ProgressPagesMode());
    QVERIFY(ProgressWindowOpen(*progress_));
    view_->UserCloses();
    QVERIFY(!ProgressWindowOpen(*progress_));
    QCOMPARE(progress_->State().position, 1); // the state outlives the window

    // The next step loads a fresh window, hidden: only a start shows it.
    StepProgress(*progress_, 1, ProgressPagesMode());
    QVERIFY(ProgressWindowOpen(*progress_));
    QVERIFY(view_->loaded);
    QVERIFY(!view_->shown);
    QCOMPARE(view_->loads, 2);
    QCOMPARE(view_->message, QStringLiteral("进度条指示器"));
    QCOMPARE(view_->counter, QStringLiteral("(2/500)"));
    QCOMPARE(view_->percent, QStringLiteral("0.4%"));

    StartProgress(*progress_, QStringLiteral("again"), 5, 0);
    QVERIFY(view_->shown);
}

void TestProgress::closeOnClosedWindowDoesNothing()
{
    CloseProgress(*progress_);
    QCOMPARE(view_->unloads, 0);
    QCOMPARE(view_->loads, 0);
    QVERIFY(!ProgressWindowOpen(*progress_));

    StartProgress(*progress_, QStringLiteral("m"), 3, 0);
    CloseProgress(*progress_);
    QVERIFY(!ProgressWindowOpen(*progress_));
    CloseProgress(*progress_);
    QCOMPARE(view_->unloads, 1);
    QCOMPARE(view_->loads, 1);
}

void TestProgress::fraction_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<double>("fraction");

    QTest::newRow("1 of 3") << qint64(1) << qint64(3) << 0.333;
    QTest::newRow("2 of 3") << qint64(2) << qint64(3) << 0.666;
    QTest::newRow("57 of 100") << qint64(57) << qint64(100) << 0.57;
    QTest::newRow("501 of 500") << qint64(501) << qint64(500) << 1.002;
    QTest::newRow("1 of 1001") << qint64(1) << qint64(1001) << 0.0;
    QTest::newRow("negative rounds down") << qint64(-1) << qint64(3) << -0.334;
    QTest::newRow("total 0") << qint64(5) << qint64(0) << 0.0;
    QTest::newRow("large") << qint64(2000000000) << qint64(2147483647) << 0.931;
}

void TestProgress::fraction()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(double, fraction);
    QCOMPARE(ProgressFraction(done, total), fraction);
}

void TestProgress::percentText_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << 0.0 << "0%";
    QTest::newRow("0.001") << 0.001 << "0.1%";
    QTest::newRow("0.333") << 0.333 << "33.3%";
    QTest::newRow("0.57") << 0.57 << "57%";
    QTest::newRow("0.289") << 0.289 << "28.9%";
    QTest::newRow("1") << 1.0 << "100%";
    QTest::newRow("1.002") << 1.002 << "100.2%";
}

void TestProgress::percentText()
{
    QFETCH(double, fraction);
    QFETCH(QString, text);
    QCOMPARE(ProgressPercentText(fraction), text);
}

void TestProgress::timesText_data()
{
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("text");

    QTest::newRow("10 s at 25%") << qint64(10) << 0.25 << "0:10/0:30/0:40";
    QTest::newRow("75 s at half") << qint64(75) << 0.5 << "1:15/1:15/2:30";
    QTest::newRow("nothing elapsed") << qint64(0) << 0.5 << "0:0/0:0/0:0";
    QTest::newRow("tie to even, down") << qint64(1) << 0.4 << "0:1/0:1/0:2";
    QTest::newRow("tie to even, up") << qint64(3) << 0.4 << "0:3/0:5/0:8";
    QTest::newRow("an hour at half") << qint64(3600) << 0.5 << "1:0:0/1:0:0/2:0:0";
    QTest::newRow("past 100%") << qint64(10) << 1.002 << "0:10/0:0/0:10";
}

void TestProgress::timesText()
{
    QFETCH(qint64, elapsed);
    QFETCH(double, fraction);
    QFETCH(QString, text);
    QCOMPARE(ProgressTimesText(elapsed, fraction), text);
}

LUMETRA_TEST_GUILESS_MAIN(TestProgress)
#include "TestProgress.moc"
