#include "app/fontsubstitutes.h"
#include "app/mainwindow.h"
#include "app/modulefactory.h"
#include "app/settings.h"
#include "app/singleinstance.h"
#include "app/translatorloader.h"

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
    installFontSubstitutes();
    ModuleFactory::registerProgramModules();

    const QString language = Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN"));

    MainWindow window;
    window.selectLanguageButton(language);
    loadTranslator(window.translator(), language);
    QObject::connect(&instance, &SingleInstance::messageReceived, &window, &MainWindow::tryToOpenFile);

    QFile styleSheet(QStringLiteral(":/styles/style"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(QCoreApplication::applicationName());
    window.Ui::MainWindow::centralWidget->setAttribute(Qt::WA_MouseTracking);
    window.show();
    window.tryToOpenFile(commandLineFile());

    return app.exec();
}
