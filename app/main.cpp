#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHashSeed>

namespace {

// The first argument, when there is one and it names an existing file; else the empty text.
QString commandLineFile()
{
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return QString();
    const QString file = arguments.at(1);
    return QFile::exists(file) ? file : QString();
}

} // namespace

int main(int argc, char *argv[])
{
    // Written XML keeps the same attribute order from run to run.
    QHashSeed::setDeterministicGlobalSeed();
    QApplication app(argc, argv);

    // The running instance has a working folder of its own: hand it an absolute path.
    const QString handOver = commandLineFile();
    SingleInstance instance;
    if (instance.sendMessage(handOver.isEmpty() ? QString() : QFileInfo(handOver).absoluteFilePath(), 5000))
        return 0;

    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("zembrak.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Beta"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.4.2"));
    registerStartUpServices();

    const QString language = startUpLanguage();

    MainWindow window;
    prepareMainWindow(window, language);
    QObject::connect(&instance, &SingleInstance::messageReceived, &window, &MainWindow::tryToOpenFile);
    window.show();
    window.tryToOpenFile(commandLineFile());

    return app.exec();
}
