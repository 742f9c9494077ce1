#include "testmain.h"

#include "generatedtvlist.h"
#include "listinthewindow.h"

#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/projectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// A later start hands its file to the running window while the window is asking something (the save
// question of the close, say): the file waits for the answer, no second question is stacked on the
// first, and the first one's answer acts on the list it names.
class TestWindowHandOver : public QObject
{
    Q_OBJECT

    static QByteArray bytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The window shown with the receiver of usbReceiver(), file opened on it and its first service renamed:
    // module is the page, whose list has changes to save (null where that failed).
    static void openAndEdit(MainWindow &window, const QString &file, TVListModule *&module)
    {
        module = nullptr;
        window.collection()->append(usbReceiver());
        window.show();
        window.tryToOpenFile(file);
        module = qobject_cast<TVListModule *>(window.currentModule());
        QVERIFY(module);
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QVERIFY(items->setData(items->index(0, 1), QStringLiteral("Edited here"), Qt::EditRole));
        QVERIFY(module->projectManager()->isModified());
    }

    // What the window asked, and the most questions open at once.
    struct Questions
    {
        QStringList texts;
        int open = 0;
        int deepest = 0;
    };
    // Answers every question the window asks: the first with answer, handing file over to the window while
    // it shows; every later one with No. asked runs as each question shows.
    static void answerQuestions(Questions &questions, MainWindow &window, const QString &file, const QString &answer,
                                const std::function<void()> &asked = {})
    {
        MessageBox::setAnswerHook([&questions, &window, file, answer, asked](QDialog *box) {
            ++questions.open;
            questions.deepest = qMax(questions.deepest, questions.open);
            questions.texts << qobject_cast<QMessageBox *>(box)->text();
            if (asked)
                asked();
            if (questions.texts.size() == 1)
                window.tryToOpenFile(file);
            const QString reply = questions.texts.size() == 1 ? answer : QStringLiteral("&No");
            if (!MessageBox::clickButton(box, reply))
                box->reject();
            --questions.open;
        });
    }

    // A later start as a process of its own on channel: the instance holder handing a text over, or the
    // program itself. home, when given, is the later start's home and settings folder.
    static void startLater(QProcess &later, const QString &channel, const QString &program,
                           const QStringList &arguments, const QString &home = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("OMBRELAY_INSTANCE_NAME"), channel);
        if (!home.isEmpty()) {
            env.insert(QStringLiteral("HOME"), home);
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
            env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
            env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
        }
        later.setProcessEnvironment(env);
        later.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        later.start(program, arguments);
    }
    // The running instance as the program sets it up: the window with the list file edited opened and
    // edited on the receiver of usbReceiver(), and the hand-over channel in the folder of the files.
    struct RunningInstance
    {
        explicit RunningInstance(const QTemporaryDir &dir)
            : edited(listFile(dir, QStringLiteral("tv20k.tvqvxc"), GeneratedTvList::text(40)))
            , other(listFile(dir, QStringLiteral("other50.tvqvxc"), GeneratedTvList::text(50)))
            , channel(dir.filePath(QStringLiteral("channel")))
            , instance(channel)
            , received(&instance, &SingleInstance::messageReceived)
        {}
        const QString edited;
        const QString other; // a second list file beside it
        const QString channel;
        MainWindow window;
        TVListModule *module = nullptr;
        SingleInstance instance;
        QSignalSpy received;
    };
    static void serve(RunningInstance &running)
    {
        QVERIFY(!running.edited.isEmpty() && !running.other.isEmpty());
        openAndEdit(running.window, running.edited, running.module);
        QVERIFY(running.module);
        QVERIFY(!running.instance.sendMessage(QString(), 2000));
        QVERIFY(running.instance.isListening());
        connectHandOver(running.instance, running.window);
    }

    static bool ended(QProcess &process)
    {
        // Far longer than any hand-over waits for its answer here.
        return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000);
    }

private slots:
    void init() { ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList); }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ModuleFactory::clear();
    }

    void fileHandedOverDuringTheCloseQuestion_data()
    {
        QTest::addColumn<QString>("answer"); // to the close's save question
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("editSaved");
        QTest::newRow("yes: saves the edited list, then quits") << "&Yes" << true << true;
        QTest::newRow("no: quits without saving") << "&No" << true << false;
        QTest::newRow("cancel: stays, then opens the file") << "&Cancel" << false << false;
    }
    void fileHandedOverDuringTheCloseQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(bool, editSaved);
        QTemporaryDir dir;
        const QString edited = listFile(dir, QStringLiteral("tv20k.tvqvxc"), GeneratedTvList::text(40));
        const QString other = listFile(dir, QStringLiteral("small50.tvqvxc"), GeneratedTvList::text(50));
        QVERIFY(!edited.isEmpty() && !other.isEmpty());
        const QByteArray otherBefore = bytes(other);
        const QByteArray editedBefore = bytes(edited);

        MainWindow window;
        TVListModule *module = nullptr;
        openAndEdit(window, edited, module);
        QVERIFY(module);

        // The second start arrives while the close's question is open. After a cancelled close the
        // handed-over file asks about the edited list: not saved.
        Questions questions;
        answerQuestions(questions, window, other, answer);
        const QStringList &texts = questions.texts;
        const int &deepest = questions.deepest;
        const bool wasClosed = window.close();
        QCOMPARE(wasClosed, closed);
        QCOMPARE(deepest, 1); // never a question on top of another
        QVERIFY(texts.value(0).contains(QStringLiteral("tv20k")));
        if (closed) {
            QCoreApplication::processEvents();
            QTest::qWait(300); // the hand-over's retry would have run by now
            QCOMPARE(texts.size(), 1);
        } else {
            // Once the question is answered the waiting file opens, asking first about the edited list.
            QTRY_COMPARE(module->projectManager()->fileName(), other);
            QCOMPARE(texts.size(), 2);
            QVERIFY(texts.at(1).contains(QStringLiteral("tv20k")));
            QCOMPARE(deepest, 1);
        }
        // The file the user never edited is never written; the edited one only on Yes.
        QCOMPARE(bytes(other), otherBefore);
        QCOMPARE(bytes(edited) != editedBefore, editSaved);
        if (editSaved) {
            TVListProjectFileManager reread(nullptr);
            QVERIFY(reread.loadFile(edited));
            QCOMPARE(reread.itemsModel->index(0, 1).data().toString(), QStringLiteral("Edited here"));
        }
    }

    // A later start hands over a file, which asks about the edited list; while that question shows, a
    // third start hands over another file. It waits for the answer (never a second question on top), and
    // opens after it, asking again only when the edited list is still open.
    void fileHandedOverDuringTheSaveQuestionOfAnother_data()
    {
        QTest::addColumn<QString>("answer"); // to the save question the second file raises
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("editSaved");
        QTest::newRow("yes: saves, the second opens, then the third") << "&Yes" << 1 << true;
        QTest::newRow("no: the second opens, then the third") << "&No" << 1 << false;
        QTest::newRow("cancel: the third asks again") << "&Cancel" << 2 << false;
    }
    void fileHandedOverDuringTheSaveQuestionOfAnother()
    {
        QFETCH(QString, answer);
        QFETCH(int, questions);
        QFETCH(bool, editSaved);
        QTemporaryDir dir;
        const QString edited = listFile(dir, QStringLiteral("tv20k.tvqvxc"), GeneratedTvList::text(40));
        const QString second = listFile(dir, QStringLiteral("second30.tvqvxc"), GeneratedTvList::text(30));
        const QString third = listFile(dir, QStringLiteral("third50.tvqvxc"), GeneratedTvList::text(50));
        QVERIFY(!edited.isEmpty() && !second.isEmpty() && !third.isEmpty());
        const QByteArray editedBefore = bytes(edited);
        const QByteArray secondBefore = bytes(second);
        const QByteArray thirdBefore = bytes(third);

        MainWindow window;
        TVListModule *module = nullptr;
        openAndEdit(window, edited, module);
        QVERIFY(module);

        // The third start arrives while the question shows.
        QStringList openWhenAsked;
        Questions asked;
        answerQuestions(asked, window, third, answer, [&] { openWhenAsked << module->projectManager()->fileName(); });
        const QStringList &texts = asked.texts;
        const int &deepest = asked.deepest;
        window.tryToOpenFile(second);
        QTRY_COMPARE(module->projectManager()->fileName(), third);
        QCOMPARE(deepest, 1); // never a question on top of another
        QCOMPARE(texts.size(), questions);
        QVERIFY(texts.at(0).contains(QStringLiteral("tv20k")));
        QCOMPARE(openWhenAsked.at(0), edited);
        if (questions == 2) {
            // The cancelled question kept the edited list; the third file asks about it, not about another.
            QVERIFY(texts.at(1).contains(QStringLiteral("tv20k")));
            QCOMPARE(openWhenAsked.at(1), edited);
        }
        QVERIFY(!module->projectManager()->isModified());
        QCOMPARE(module->projectManager()->itemsModel->rowCount(), 50);
        // Only Yes writes, and only the list it names.
        QCOMPARE(bytes(edited) != editedBefore, editSaved);
        QCOMPARE(bytes(second), secondBefore);
        QCOMPARE(bytes(third), thirdBefore);
    }

    // A file taken while a question was open waits for its turn; a close that comes before it opened does
    // not drop it: that close waits, and the file opens.
    void closeBeforeAWaitingFileOpened()
    {
        QTemporaryDir dir;
        const QString edited = listFile(dir, QStringLiteral("tv20k.tvqvxc"), GeneratedTvList::text(40));
        const QString second = listFile(dir, QStringLiteral("second30.tvqvxc"), GeneratedTvList::text(30));
        const QString third = listFile(dir, QStringLiteral("third50.tvqvxc"), GeneratedTvList::text(50));
        QVERIFY(!edited.isEmpty() && !second.isEmpty() && !third.isEmpty());
        MainWindow window;
        TVListModule *module = nullptr;
        openAndEdit(window, edited, module);
        QVERIFY(module);
        Questions questions;
        answerQuestions(questions, window, third, QStringLiteral("&Cancel"));
        window.tryToOpenFile(second); // asks about the edited list; the third arrives meanwhile; cancelled
        QCOMPARE(module->projectManager()->fileName(), edited);
        QCOMPARE(questions.texts.size(), 1);
        QVERIFY(!window.close()); // before the waiting file had its turn
        QVERIFY(window.isVisible());
        QCOMPARE(module->projectManager()->fileName(), third);
        QCOMPARE(questions.texts.size(), 2); // the third asked about the edited list once
        QVERIFY(questions.texts.at(1).contains(QStringLiteral("tv20k")));
        QVERIFY(window.close());
        QCOMPARE(questions.texts.size(), 2);
    }

    // A file handed over while a question shows waits; the question closes, and before the queue has looked
    // again (it looks every 100 ms) a later start hands over another file. That one waits behind the earlier
    // one instead of opening first: the files open in the order they came, and the window ends on the newer.
    // No round of events runs between the question's end and the newer file, so its look cannot come between.
    void fileHandedOverRightAfterAQuestionWaitsForTheEarlierOne_data()
    {
        QTest::addColumn<QString>("asking"); // what raises the question
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("before"); // the files opened when the question is answered
        QTest::newRow("the close, cancelled") << "close"
                                              << "&Cancel" << QStringList{};
        QTest::newRow("a file opened, its question cancelled") << "open"
                                                               << "&Cancel" << QStringList{};
        QTest::newRow("a file opened, not saved") << "open"
                                                  << "&No" << QStringList{QStringLiteral("second30")};
        QTest::newRow("a file opened, saved") << "open"
                                              << "&Yes" << QStringList{QStringLiteral("second30")};
    }
    void fileHandedOverRightAfterAQuestionWaitsForTheEarlierOne()
    {
        QFETCH(QString, asking);
        QFETCH(QString, answer);
        QFETCH(QStringList, before);
        QTemporaryDir dir;
        const QString edited = listFile(dir, QStringLiteral("tv20k.tvqvxc"), GeneratedTvList::text(40));
        const QString second = listFile(dir, QStringLiteral("second30.tvqvxc"), GeneratedTvList::text(30));
        const QString older = listFile(dir, QStringLiteral("older50.tvqvxc"), GeneratedTvList::text(50));
        const QString newer = listFile(dir, QStringLiteral("newer60.tvqvxc"), GeneratedTvList::text(60));
        QVERIFY(!edited.isEmpty() && !second.isEmpty() && !older.isEmpty() && !newer.isEmpty());

        MainWindow window;
        TVListModule *module = nullptr;
        openAndEdit(window, edited, module);
        QVERIFY(module);
        QStringList opened; // the base names of the files the page opened, in order
        connect(module->projectManager(), &ProjectFileManager::onLoad, this,
                [&] { opened << QFileInfo(module->projectManager()->fileName()).completeBaseName(); });

        // The older file arrives while the question shows; every later question is answered No.
        Questions questions;
        answerQuestions(questions, window, older, answer);
        if (asking == QLatin1String("close"))
            QVERIFY(!window.close());
        else
            window.tryToOpenFile(second);
        QCOMPARE(questions.texts.size(), 1);
        QVERIFY(questions.texts.at(0).contains(QStringLiteral("tv20k")));
        QCOMPARE(opened, before);
        QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == &window); // none asks
        window.tryToOpenFile(newer); // the question has just closed; the older file still waits

        const QStringList inOrder = before + QStringList{QStringLiteral("older50"), QStringLiteral("newer60")};
        QTRY_COMPARE(opened, inOrder);
        QCOMPARE(module->projectManager()->fileName(), newer);
        QCOMPARE(module->projectManager()->itemsModel->rowCount(), 60);
        QCOMPARE(questions.deepest, 1); // never a question on top of another
        // the edited list still open after the question asks once more, when the older file opens
        QCOMPARE(questions.texts.size(), answer == QLatin1String("&Cancel") ? 2 : 1);
        QVERIFY(window.isVisible());
    }

    // A later start hands a file over while the close's question shows. The closing window takes it no
    // more: the start is refused at once, long before its own deadline, and opens the file itself. After
    // Cancel the window takes later starts again; after Yes or No it refuses them all.
    void laterStartWhileTheWindowCloses_data()
    {
        QTest::addColumn<QString>("answer"); // to the close's save question
        QTest::addColumn<bool>("closed");
        QTest::newRow("yes") << "&Yes" << true;
        QTest::newRow("no") << "&No" << true;
        QTest::newRow("cancel") << "&Cancel" << false;
    }
    void laterStartWhileTheWindowCloses()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QTemporaryDir dir;
        RunningInstance running(dir);
        serve(running);
        if (QTest::currentTestFailed())
            return;
        const QString &edited = running.edited;
        const QString &other = running.other;
        const QString &channel = running.channel;
        MainWindow &window = running.window;
        TVListModule *module = running.module;
        const QSignalSpy &received = running.received;

        // The later start would wait ten minutes for its answer.
        const QStringList send{QStringLiteral("send"), other, QStringLiteral("600000")};
        QProcess later;
        QStringList asked;
        bool answeredWhileAsked = false;
        MessageBox::setAnswerHook([&](QDialog *box) {
            asked << qobject_cast<QMessageBox *>(box)->text();
            if (asked.size() == 1) {
                startLater(later, channel, QStringLiteral(OMBRELAY_INSTANCE_HOLDER), send);
                answeredWhileAsked = ended(later);
            }
            if (!MessageBox::clickButton(box, asked.size() == 1 ? answer : QStringLiteral("&No")))
                box->reject();
        });
        QCOMPARE(window.close(), closed);
        QVERIFY(answeredWhileAsked);
        QCOMPARE(later.readAllStandardOutput(), QByteArray("refused\n"));
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.at(0).contains(QStringLiteral("tv20k")));
        QCOMPARE(received.count(), 0);
        if (!closed)
            QCOMPARE(module->projectManager()->fileName(), edited);

        QProcess next;
        startLater(next, channel, QStringLiteral(OMBRELAY_INSTANCE_HOLDER), send);
        QVERIFY(ended(next));
        QCOMPARE(next.readAllStandardOutput(), closed ? QByteArray("refused\n") : QByteArray("taken\n"));
        if (!closed) {
            // Taken: it opens here, asking first about the edited list, once only.
            QTRY_COMPARE(module->projectManager()->fileName(), other);
            QCOMPARE(received.count(), 1);
            QCOMPARE(asked.size(), 2);
        }
    }

    // The program itself started while the close's question shows: it opens the file in a window of its
    // own (its settings then name the file as the most recent one) while the question is still open, and
    // the closing window never opens it.
    void programStartedWhileTheWindowCloses()
    {
        QTemporaryDir dir;
        // The later start's own settings hold the same receiver, so the file opens there.
        const QString home = dir.filePath(QStringLiteral("home"));
        const QString laterSettings = home + QStringLiteral("/config/Zembrak/Ombrelay Beta.conf");
        {
            QObject owner;
            ZBDeviceCollection receivers(&owner);
            receivers.append(usbReceiver());
            QSettings seeded(laterSettings, QSettings::IniFormat);
            seeded.setValue(Settings::keyName(Settings::OmbrelayDeviceList), receivers.toXmlText());
            seeded.sync();
            QCOMPARE(seeded.status(), QSettings::NoError);
        }
        RunningInstance running(dir);
        serve(running);
        if (QTest::currentTestFailed())
            return;
        const QString &other = running.other;
        const QSignalSpy &received = running.received;

        const auto openedThere = [&laterSettings, &other] {
            QFile file(laterSettings);
            const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            return text.contains("recentFileList=" + other.toUtf8());
        };
        QProcess later;
        bool openedWhileAsked = false;
        int asked = 0;
        MessageBox::setAnswerHook([&](QDialog *box) {
            if (++asked == 1) {
                startLater(later, running.channel, QStringLiteral(OMBRELAY_EXE), {other}, home);
                // A start that handed the file over ends at once; one that was refused opens it.
                openedWhileAsked =
                    QTest::qWaitFor([&] { return later.state() == QProcess::NotRunning || openedThere(); }, 60000) &&
                    later.state() == QProcess::Running;
            }
            if (!MessageBox::clickButton(box, QStringLiteral("&No")))
                box->reject();
        });
        QVERIFY(running.window.close());
        QCOMPARE(asked, 1);
        QVERIFY2(openedWhileAsked, later.state() == QProcess::NotRunning ? "the later start ended" : "not opened");
        QCOMPARE(received.count(), 0);
        later.terminate();
        if (!later.waitForFinished(30000))
            later.kill();
        later.waitForFinished(30000);
    }
};

OMBRELAY_TEST_MAIN(TestWindowHandOver)
#include "tst_windowhandover.moc"
