#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHashSeed>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

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

int terminateSockets[2] = {-1, -1};

void onTerminateSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminateSockets[1], &byte, 1);
}

// A session ending the program (SIGTERM, or Ctrl+C in a terminal) takes the same way out as closing
// the window's event loop: receivers get their goodbye and every worker thread is waited for.
void quitOnTerminateSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminateSockets) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminateSockets[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
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
    QCoreApplication::setApplicationVersion(QStringLiteral(OMBRELAY_VERSION));
    registerStartUpServices();
    quitOnTerminateSignals(app);

    const QString language = startUpLanguage();

    int result = 0;
    {
        MainWindow window;
        prepareMainWindow(window, language);
        connectHandOver(instance, window);
        window.show();
        window.tryToOpenFile(commandLineFile());
        result = app.exec();
    }
    // What was handed to a deferred delete as the loop ended goes now: a receiver's network manager
    // waits for its worker thread when it goes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
