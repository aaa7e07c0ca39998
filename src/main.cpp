#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lumetra交易数据提取软件【C店版】2.00"));
    window.show();
    return app.exec();
}
