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

    void messageBoxButtons()
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("m"),
            QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
    }

    // The seller field's menu and the browser's actions.
    void copyPasteAndSelectAll()
    {
        QLineEdit edit(QStringLiteral("小店"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        const QStringList texts = ActionTexts(*menu);
        for (const QString& text :
            { QStringLiteral("复制(&C)"), QStringLiteral("粘贴(&P)"), QStringLiteral("全选") })
            QVERIFY2(texts.contains(text), qPrintable(texts.join(QLatin1Char('|'))));
        QWebEnginePage page;
        QCOMPARE(page.action(QWebEnginePage::Copy)->text(), QStringLiteral("复制"));
        QCOMPARE(page.action(QWebEnginePage::Paste)->text(), QStringLiteral("粘贴"));
        QCOMPARE(page.action(QWebEnginePage::SelectAll)->text(), QStringLiteral("全选"));
    }
};

LUMETRA_TEST_MAIN(TestQtTranslations)
#include "TestQtTranslations.moc"
