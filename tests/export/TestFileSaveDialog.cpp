#include "TestSupport.h"
#include "export/ExportGrid.h"
#include "export/FileSaveDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

struct SeenDialog {
    QStringList nameFilters;
    QString selectedNameFilter;
    QString offeredFile;
    QString defaultSuffix;
    bool confirmsOverwrite = true;
    bool acceptsSave = false;
    bool askedConfirmation = false;
};

// Waits for the file dialog to come up, notes how it is set up, then lets
// act answer it. A message box on top of it (an overwrite question) is noted
// and dismissed.
void AnswerDialogWhenShown(SeenDialog& seen, std::function<void(QFileDialog&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, act, ticks] {
        QWidget* modal = QApplication::activeModalWidget();
        // Never leave a test hanging on a dialog that did not close.
        if (++*ticks > 500) {
            if (auto* stuck = qobject_cast<QDialog*>(modal))
                stuck->reject();
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.askedConfirmation = true;
            box->reject();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !dialog->isVisible())
            return;
        seen.nameFilters = dialog->nameFilters();
        seen.selectedNameFilter = dialog->selectedNameFilter();
        seen.offeredFile = dialog->selectedFiles().value(0);
        seen.defaultSuffix = dialog->defaultSuffix();
        seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        seen.acceptsSave = dialog->acceptMode() == QFileDialog::AcceptSave;
        act(*dialog);
        poll->stop();
        poll->deleteLater();
    });
    poll->start();
}

} // namespace

class TestFileSaveDialog : public QObject {
    Q_OBJECT

private slots:
    void choosesAndRemembers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("new csv") << "out.csv" << false;
        QTest::newRow("existing file, no question") << "old.xls" << true;
        QTest::newRow("no extension, no suffix added") << "plain" << false;
    }
    void choosesAndRemembers()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FileSaveDialog saveDialog;
        const QStringList filters = ExportFileFilters();

        SeenDialog first;
        AnswerDialogWhenShown(first, [path](QFileDialog& d) {
            d.selectFile(path);
            static_cast<QDialog&>(d).accept(); // QFileDialog::accept checks the name
        });
        QCOMPARE(saveDialog.AskSavePath(filters), path);
        // The dialog shows each entry with its blanks collapsed.
        QStringList shown;
        for (const QString& filter : filters)
            shown.append(filter.simplified());
        QCOMPARE(first.nameFilters, shown);
        QCOMPARE(first.selectedNameFilter, filters.first());
        QVERIFY(first.acceptsSave);
        QVERIFY(!first.confirmsOverwrite);
        QVERIFY(!first.askedConfirmation);
        QVERIFY(first.defaultSuffix.isEmpty());
        QCOMPARE(saveDialog.LastChosenPath(), path);

        // The next time the same name is offered; cancelling keeps it.
        SeenDialog second;
        AnswerDialogWhenShown(second, [](QFileDialog& d) { d.reject(); });
        QCOMPARE(saveDialog.AskSavePath(filters), QString());
        QCOMPARE(second.offeredFile, path);
        QCOMPARE(saveDialog.LastChosenPath(), path);
    }
};

LUMETRA_TEST_MAIN(TestFileSaveDialog)
#include "TestFileSaveDialog.moc"
