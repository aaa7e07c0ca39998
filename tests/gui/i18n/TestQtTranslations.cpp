#include "gui/i18n/QtTranslations.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWebEnginePage>

namespace {

QStringList ActionTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts.append(action->text().section(QLatin1Char('\t'), 0, 0)); // without the shortcut
    return texts;
}

} // namespace

class TestQtTranslations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QStringList installed = InstallQtChineseTranslations(*QCoreApplication::instance());
        QCOMPARE(installed, QStringList({ "qtbase_zh_CN", "qtwebengine_zh_CN" }));
    }

    void messageBoxButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK") << int(QMessageBox::Ok) << "确定";
        QTest::newRow("Yes") << int(QMessageBox::Yes) << "是(&Y)";
        QTest::newRow("No") << int(QMessageBox::No) << "否(&N)";
    }
    void messageBoxButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("m"),
            QMessageBox::StandardButton(button));
        QCOMPARE(box.button(QMessageBox::StandardButton(button))->text(), text);
    }

    void sellerFieldMenu()
    {
        QLineEdit edit(QStringLiteral("小店"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        const QStringList texts = ActionTexts(*menu);
        QVERIFY2(texts.contains(QStringLiteral("复制(&C)")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY2(texts.contains(QStringLiteral("粘贴(&P)")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY2(texts.contains(QStringLiteral("全选")), qPrintable(texts.join(QLatin1Char('|'))));
    }

    void browserMenu()
    {
        QWebEnginePage page;
        QCOMPARE(page.action(QWebEnginePage::Copy)->text(), QStringLiteral("复制"));
        QCOMPARE(page.action(QWebEnginePage::Paste)->text(), QStringLiteral("粘贴"));
        QCOMPARE(page.action(QWebEnginePage::SelectAll)->text(), QStringLiteral("全选"));
    }
};

LUMETRA_TEST_MAIN(TestQtTranslations)
#include "TestQtTranslations.moc"
