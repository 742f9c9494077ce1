#include <QApplication>
#include <QHashSeed>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    // Written XML keeps the same attribute order from run to run.
    QHashSeed::setDeterministicGlobalSeed();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Beta"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.4.2"));

    QMainWindow window;
    window.setWindowTitle(QCoreApplication::applicationName());
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
