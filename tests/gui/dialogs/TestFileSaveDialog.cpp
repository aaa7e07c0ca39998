#include "core/export/ExportGrid.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/dialogs/CourierSheetDialog.h"
#include "gui/dialogs/FileSaveDialog.h"
#include "gui/i18n/QtTranslations.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

struct SeenDialog {
    QStringList nameFilters;
    QString selectedNameFilter;
    QString offeredFile;
    QString title;
    QString defaultSuffix;
    bool confirmsOverwrite = true;
    bool acceptsSave = false;
    bool askedConfirmation = false;
};

// Waits for the file dialog to come up, notes how it is set up, then lets
// act answer it, again on later ticks should the dialog still be open. A
// message box on top of it (an overwrite question) is noted and dismissed.
void AnswerDialogWhenShown(SeenDialog& seen, std::function<void(QFileDialog&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto ticks = std::make_shared<int>(0);
    auto acted = std::make_shared<bool>(false);
    auto answered = std::make_shared<QPointer<QFileDialog>>();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, act, ticks, acted, answered] {
        QWidget* modal = QApplication::activeModalWidget();
        auto finish = [poll] {
            poll->stop();
            poll->deleteLater();
        };
        // Never leave a test hanging on a dialog that did not close.
        if (++*ticks > 500) {
            if (auto* stuck = qobject_cast<QDialog*>(modal))
                stuck->reject();
            finish();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.askedConfirmation = true;
            box->reject();
            return;
        }
        // Once answered, only that dialog is ours; when it is gone, so is the poll.
        if (*acted && (answered->isNull() || !(*answered)->isVisible())) {
            finish();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !dialog->isVisible() || (*acted && dialog != answered->data()))
            return;
        if (!*acted) {
            seen.nameFilters = dialog->nameFilters();
            seen.selectedNameFilter = dialog->selectedNameFilter();
            seen.offeredFile = dialog->selectedFiles().value(0);
            seen.title = dialog->windowTitle();
            seen.defaultSuffix = dialog->defaultSuffix();
            seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            seen.acceptsSave = dialog->acceptMode() == QFileDialog::AcceptSave;
            *acted = true;
            *answered = dialog;
        }
        act(*dialog);
    });
    poll->start();
}

} // namespace

class TestFileSaveDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InstallQtChineseTranslations(*QCoreApplication::instance());
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
    void init()
    {
        testsupport::StoreSetting(QString::fromLatin1(Settings::kExportFolder), QString());
    }

    void choosesAndRemembers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("new csv") << "out.csv" << false;
        QTest::newRow("existing file, no question") << "old.xls" << true;
        QTest::newRow("other extension, kept as typed") << "notes.txt" << false;
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
        Settings settings = Settings::Read();
        FileSaveDialog saveDialog(settings);
        const QStringList filters = ExportFileFilters();

        SeenDialog first;
        AnswerDialogWhenShown(first, [path](QFileDialog& d) {
            // As the user types it: selectFile leaves a focused name field alone.
            if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                edit->setText(path);
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
        QCOMPARE(first.title, QStringLiteral("另存为"));
        // Nothing exported yet: a dated sheet name in the documents folder.
        QCOMPARE(first.offeredFile,
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(
                    QStringLiteral("淘宝发货信息-%1.csv").arg(QDate::currentDate().toString("yyyy-MM-dd"))));
        QCOMPARE(saveDialog.LastChosenPath(), path);

        // The next time the same name is offered; cancelling keeps it.
        SeenDialog second;
        AnswerDialogWhenShown(second, [](QFileDialog& d) { d.reject(); });
        QCOMPARE(saveDialog.AskSavePath(filters), QString());
        QCOMPARE(second.offeredFile, path);
        QCOMPARE(saveDialog.LastChosenPath(), path);

        // The next run starts in the folder of that export, with a dated name.
        Settings nextRunSettings = Settings::Read();
        FileSaveDialog nextRun(nextRunSettings);
        SeenDialog third;
        AnswerDialogWhenShown(third, [](QFileDialog& d) { d.reject(); });
        QCOMPARE(nextRun.AskSavePath(filters), QString());
        QCOMPARE(QFileInfo(third.offeredFile).absolutePath(), QFileInfo(path).absolutePath());
        QVERIFY(QFileInfo(third.offeredFile).fileName().startsWith(QStringLiteral("淘宝发货信息-")));
    }

    // "导出留言和备注" is chosen where the file is: stored when the seller
    // saves, left as it was when the dialog is cancelled.
    void exportNotesAreChosenInTheDialog()
    {
        QTemporaryDir dir;
        Settings settings = Settings::Read();
        QVERIFY(settings.StoreExportNotes(false));
        FileSaveDialog saveDialog(settings);
        const QString path = dir.filePath(QStringLiteral("notes.xlsx"));
        int boxes = 0;
        bool shownChecked = true;
        SeenDialog seen;
        AnswerDialogWhenShown(seen, [&](QFileDialog& d) {
            auto* box = d.findChild<QCheckBox*>(QStringLiteral("exportNotes"));
            boxes = box && box->isVisible() ? 1 : 0;
            shownChecked = box && box->isChecked();
            if (box)
                box->setChecked(true);
            if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                edit->setText(path);
            static_cast<QDialog&>(d).accept();
        });
        QCOMPARE(saveDialog.AskSavePath(ExportFileFilters()), path);
        QCOMPARE(boxes, 1);
        QVERIFY(!shownChecked);
        QVERIFY(settings.ExportNotes());
        QVERIFY(Settings::Read().ExportNotes());

        // Shown as stored; unticked and cancelled, it stays.
        SeenDialog again;
        AnswerDialogWhenShown(again, [&](QFileDialog& d) {
            auto* box = d.findChild<QCheckBox*>(QStringLiteral("exportNotes"));
            shownChecked = box && box->isChecked();
            if (box)
                box->setChecked(false);
            d.reject();
        });
        QCOMPARE(saveDialog.AskSavePath(ExportFileFilters()), QString());
        QVERIFY(shownChecked);
        QVERIFY(Settings::Read().ExportNotes());
    }

    void forgetsAFolderThatIsGone()
    {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QString gone;
        {
            QTemporaryDir dir;
            gone = dir.path();
        }
        testsupport::StoreSetting(QString::fromLatin1(Settings::kExportFolder), gone);
        QCOMPARE(FileSaveDialog::StartFolder(Settings::Read()), documents);
    }

    // The courier sheet's dialog offers what was chosen last, and what it
    // is given is remembered for the next time and the unattended run.
    void courierChoicesRemembered()
    {
        Settings settings = Settings::Read();
        QVERIFY(settings.StoreCourierTemplateName(QStringLiteral("简单")));
        QVERIFY(settings.StoreSender(QStringLiteral("小店"), QString(), QStringLiteral("浙江省杭州市西湖区文三路7号")));
        QString offeredTemplate;
        QString offeredName;
        QTimer::singleShot(50, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* templates = dialog->findChild<QComboBox*>(QStringLiteral("courierTemplate"));
            offeredTemplate = templates->currentText();
            offeredName = dialog->findChild<QLineEdit*>(QStringLiteral("senderName"))->text();
            templates->setCurrentText(QStringLiteral("整行地址"));
            dialog->findChild<QLineEdit*>(QStringLiteral("senderPhone"))->setText(QStringLiteral(" 0571-12345678 "));
            dialog->findChild<QCheckBox*>(QStringLiteral("includeToCheck"))->setChecked(true);
            dialog->accept();
        });
        const std::optional<CourierRequest> request = AskCourierChoices(settings, nullptr);
        QCOMPARE(offeredTemplate, QStringLiteral("简单"));
        QCOMPARE(offeredName, QStringLiteral("小店"));
        QVERIFY(request);
        QCOMPARE(request->templateName, QStringLiteral("整行地址"));
        QCOMPARE(request->sender.phone, QStringLiteral("0571-12345678"));
        QVERIFY(request->choices.includeToCheck);
        const Settings stored = Settings::Read();
        QCOMPARE(stored.CourierTemplateName(), QStringLiteral("整行地址"));
        QCOMPARE(stored.SenderPhone(), QStringLiteral("0571-12345678"));
        QCOMPARE(stored.SenderAddress(), QStringLiteral("浙江省杭州市西湖区文三路7号"));
    }
};

LUMETRA_TEST_MAIN(TestFileSaveDialog)
#include "TestFileSaveDialog.moc"
