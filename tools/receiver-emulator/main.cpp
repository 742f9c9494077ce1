// A stand-in receiver on 127.0.0.1 for trying the program without hardware.

#include "descriptioncases.h"
#include "mediacommands.h"
#include "receiveremulator.h"
#include "receiverlists.h"
#include "transfercommands.h"

#include "base/strictipv4.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <csignal>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// Only a flag here: nothing else is safe inside a signal handler.
void quitOnSignal(int)
{
    stopRequested = 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("receiver-emulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a receiver on 127.0.0.1 for Ombrelay."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port (default 2376, 0 picks one)."),
                                  QStringLiteral("port"), QStringLiteral("2376"));
    const QCommandLineOption description(QStringLiteral("description"),
                                         QStringLiteral("File with the \"deviceInfo\" XML to send."),
                                         QStringLiteral("file"));
    const QCommandLineOption version(QStringLiteral("protocol-version"),
                                     QStringLiteral("Protocol version to report (default 1.4)."),
                                     QStringLiteral("version"));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Close every connection at once."));
    const QCommandLineOption pending(QStringLiteral("pending"),
                                     QStringLiteral("Answer \"pending\" n times before each status."),
                                     QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption dropAfter(QStringLiteral("drop-after"),
                                       QStringLiteral("Cut each connection after sending n bytes."),
                                       QStringLiteral("n"), QStringLiteral("-1"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    const QCommandLineOption hostile(QStringLiteral("hostile-length"),
                                     QStringLiteral("Announce a description chunk of almost 4 GiB."));
    const QCommandLineOption root(QStringLiteral("root"),
                                  QStringLiteral("Folder served as the receiver's drives (files, recordings); its "
                                                 "TV, radio and link lists are kept in its \".lists\" folder."),
                                  QStringLiteral("folder"));
    const QCommandLineOption endAfter(QStringLiteral("end-download-after"),
                                      QStringLiteral("End file downloads with the marker 0xFA after n bytes (--root)."),
                                      QStringLiteral("n"), QStringLiteral("-1"));
    const QCommandLineOption cutUpload(QStringLiteral("cut-recording-upload-after"),
                                       QStringLiteral("Close a recording upload after n of its bytes (--root)."),
                                       QStringLiteral("n"), QStringLiteral("-1"));
    const QCommandLineOption refuseLevel(
        QStringLiteral("refuse-level"),
        QStringLiteral("Refuse path level n (0 = first), which ends the exchange (--root)."), QStringLiteral("n"),
        QStringLiteral("-1"));
    const QCommandLineOption refusalCode(
        QStringLiteral("refusal-code"),
        QStringLiteral("The status byte of a refused step (a path level, a folder made or deleted; default 0xFD; "
                       "--root)."),
        QStringLiteral("byte"), QStringLiteral("0xFD"));
    const QCommandLineOption removable(QStringLiteral("removable"),
                                       QStringLiteral("List this top folder of --root as a removable drive."),
                                       QStringLiteral("name"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Loopback address to listen on (127.0.0.0/8, default 127.0.0.1)."),
                                     QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption describeAs(
        QStringLiteral("description-case"),
        QStringLiteral("Answer the description request as: wrong-status, drop, trickle, endless-tags, empty-chunk, "
                       "foreign-tag, end-nonzero or zero-byte."),
        QStringLiteral("case"));
    parser.addOptions({describeAs, address, port, description, version, refuse, pending, dropAfter, silent, hostile,
                       root, endAfter, cutUpload, refuseLevel, removable, refusalCode});
    parser.process(app);

    ReceiverEmulator emulator;
    if (parser.isSet(description)) {
        QFile file(parser.value(description));
        if (!file.open(QIODevice::ReadOnly)) {
            QTextStream(stderr) << "cannot read " << file.fileName() << '\n';
            return 2;
        }
        emulator.setDescription(QString::fromUtf8(file.read(1024 * 1024)));
    }
    if (parser.isSet(version))
        emulator.setProtocolVersion(parser.value(version));
    emulator.setRefuseConnections(parser.isSet(refuse));
    emulator.setPendingReplies(parser.value(pending).toInt());
    emulator.setDropAfterBytes(parser.value(dropAfter).toLongLong());
    emulator.setSilent(parser.isSet(silent));
    emulator.setHostileLength(parser.isSet(hostile));
    if (parser.isSet(describeAs)) {
        static const QHash<QString, DescriptionCases::Case> cases = {
            {"wrong-status", DescriptionCases::WrongStatus},
            {"drop", DescriptionCases::DropAfterStatus},
            {"trickle", DescriptionCases::Trickle},
            {"endless-tags", DescriptionCases::EndlessForeignTags},
            {"empty-chunk", DescriptionCases::ZeroLengthChunk},
            {"foreign-tag", DescriptionCases::ForeignTag},
            {"end-nonzero", DescriptionCases::EndNonZero},
            {"zero-byte", DescriptionCases::ZeroInPayload}};
        if (!cases.contains(parser.value(describeAs))) {
            QTextStream(stderr) << "unknown description case: " << parser.value(describeAs) << '\n';
            return 2;
        }
        DescriptionCases::install(emulator, cases.value(parser.value(describeAs)));
    }
    if (parser.isSet(root)) {
        const auto commands = TransferCommands::install(emulator, parser.value(root));
        commands->endAfter = parser.value(endAfter).toLongLong();
        commands->cutUploadAfter = parser.value(cutUpload).toLongLong();
        commands->refuseLevel = parser.value(refuseLevel).toInt();
        bool codeOk = false;
        const uint code = parser.value(refusalCode).toUInt(&codeOk, 0);
        // 0x01 and 0xF9 ("pending") are no refusal.
        if (!codeOk || code > 0xFF || code == 0x01 || code == 0xF9) {
            QTextStream(stderr) << "not a refusal code: " << parser.value(refusalCode) << '\n';
            return 2;
        }
        commands->refusal = int(code);
        // The three lists live beside the drives, in a folder the drives' listing does not show, and
        // survive a restart of the emulator.
        const auto lists = ReceiverLists::install(emulator);
        const QString listFolder = parser.value(root) + QStringLiteral("/.lists");
        if (!lists->keepIn(listFolder)) {
            QTextStream(stderr) << "cannot keep the lists in " << listFolder << '\n';
            return 2;
        }
        // Drives, "<name>.desc" sets as recordings; --refuse-level keeps the plain folder commands it refuses in.
        if (!parser.isSet(refuseLevel)) {
            const auto media = MediaCommands::install(emulator, parser.value(root));
            for (const QString &volume : parser.values(removable))
                media->markRemovable(volume);
            media->refusal = int(code);
        }
    }

    if (!emulator.setAddress(StrictIPv4::toHostAddress(parser.value(address)))) {
        QTextStream(stderr) << "not a loopback address: " << parser.value(address) << '\n';
        return 2;
    }
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535 || !emulator.start(quint16(portNumber))) {
        QTextStream(stderr) << "cannot listen on " << emulator.host() << ':' << parser.value(port) << '\n';
        return 1;
    }
    QTextStream(stdout) << "listening on 127.0.0.1:" << emulator.port() << Qt::endl;
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [] {
        if (stopRequested)
            QCoreApplication::quit();
    });
    poll.start(100);
    const int code = app.exec();
    emulator.stop();
    return code;
}
