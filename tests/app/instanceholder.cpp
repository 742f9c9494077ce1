// A running instance as a process of its own, for the single-instance tests: it takes the channel named
// by OMBRELAY_INSTANCE_NAME, says "listening", prints every message it takes as "received:<text>", and on
// the line "block" from its input stops serving events ("blocked") until the line "go" comes.
//
// Started as "instanceholder send <text> <milliseconds>" it is a later start instead: it hands text over
// on that channel, waiting at most that long, says "taken" or "refused" and ends.

#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <iostream>
#include <string>

static void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstance instance;
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("send")) {
        say(instance.sendMessage(arguments.at(2), arguments.at(3).toInt()) ? "taken" : "refused");
        return 0;
    }
    if (instance.sendMessage(QString(), 2000) || !instance.isListening()) {
        say("not listening");
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::messageReceived, &app,
                     [](const QString &text) { say("received:" + text.toUtf8()); });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            app.quit();
            return;
        }
        if (line == "block") {
            say("blocked");
            // The event loop stands still, as in a long paste; connections queue up unanswered.
            while (std::getline(std::cin, line) && line != "go") {
            }
            say("going");
        }
    });
    say("listening");
    return app.exec();
}
