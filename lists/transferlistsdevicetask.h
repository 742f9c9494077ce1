#pragma once
#include "device/core/devicecall.h"
#include "device/core/devicetask.h"
#include "device/core/mill.h"
#include "device/core/zbdeviceinfo.h"
#include "device/transfers/listtransfer.h"
#include "device/transfers/transferlink.h"
#include "document/listdocument.h"
#include "listfiles/listprojectfilemanager.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMap>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <memory>

// One request of a list page to its receiver: download or send its list, or fetch the receiver's
// description. Drives the page's transfer page while it runs and hands the outcome back to the page.
// T is the page class; the task needs of it only what the list page base offers.
//
// The worker reports a failure as Error followed by Complete(false); the task acts on the first
// ending only, so a failure shows one box, returns to one page and ends the request once.
//
// A downloaded list is read (parsed and checked once) on a thread of the task's own while the
// transfer page keeps painting; the page then loads the read document in one step. A cancel in that
// time drops what is read; the task waits for its reader when it is destroyed, with its page or not.
template<class T> class TransferListsDeviceTask : public DeviceTask
{
public:
    TransferListsDeviceTask(const QString &mode, const QString &listType, QObject *owner)
        : DeviceTask(owner, callFor(QStringLiteral("sendOrdownloadTVLists"),
                                    {{QStringLiteral("mode"), mode}, {QStringLiteral("listType"), listType}}, true)
                                .toString())
        , module(dynamic_cast<T *>(owner))
        , command(DeviceCall::fromText(request()))
    {}
    TransferListsDeviceTask(const QString &method, const QMap<QString, QString> &parameters, QObject *owner)
        : DeviceTask(owner, callFor(method, parameters, false).toString())
        , module(dynamic_cast<T *>(owner))
        , command(DeviceCall::fromText(request()))
    {}

    ~TransferListsDeviceTask() override
    {
        if (reader) {
            reader->quit();
            reader->wait();
            delete reader;
        }
    }

    T *module = nullptr;
    int previousPage = 0;
    DeviceCall command;

    void onEnqueued() override
    {
        if (!live())
            return;
        QProgressBar *bar = module->transferProgressBar();
        bar->setValue(0);
        previousPage = module->currentPage();
        module->showPage(2);
        bar->setValue(0);
        bar->setRange(0, 0);
        const QString m = mode();
        if (m == QLatin1String("download"))
            label(text("Downloading lists. Waiting for device access..."));
        else if (m == QLatin1String("send"))
            label(text("Sending lists. Waiting for device access..."));
    }
    void onStart() override
    {
        if (!live())
            return;
        const QString m = mode();
        if (m == QLatin1String("download"))
            label(text("Downloading lists. Transfering..."));
        else if (m == QLatin1String("send"))
            label(text("Sending lists. Transfering..."));
    }
    void onProgress(int percent, int) override
    {
        if (!live())
            return;
        QProgressBar *bar = module->transferProgressBar();
        if (bar->maximum() != 100)
            bar->setMaximum(100);
        bar->setValue(qBound(0, percent, 100));
    }
    void onStatus(QString status) override
    {
        if (live())
            label(status);
    }
    void onCancel() override
    {
        if (live() || readingKept())
            label(text("Canceling..."));
    }
    void onCanceled() override
    {
        if (readingKept()) {
            // the reader cannot be stopped: what it reads is dropped, and the task ends when it is done
            dropped = true;
            label(QString());
            module->showPage(returnPage());
            return;
        }
        if (!live())
            return;
        ended = true;
        label(QString());
        module->showPage(returnPage());
        // A cancel the page made because the connection went is no quiet ending.
        if (module->lostConnectionUnder(this))
            module->reportLostConnection(mode());
        module->taskComplete(this);
    }
    void onError(QString error) override
    {
        if (!live())
            return;
        ended = true;
        // Once the connection went, whatever the worker saw of it is its loss, not a busy receiver; a loss the
        // worker saw first (the transfer's own word, or the link going under the task) is told the same way, so
        // the window knows the page has said it. A receiver that did not answer the user's cancel had its
        // connection given up: that is said too, whether the link's going or this word came first.
        const bool unanswered = error.startsWith(TransferLink::cancelUnansweredText());
        if (module->lostConnectionUnder(this) || unanswered || error == ListTransfer::lostConnectionText(mode()) ||
            error == Mill::interruptedText())
            module->reportLostConnection(mode(), unanswered);
        else
            module->appendStatusText(error);
        module->showPage(returnPage());
        module->taskComplete(this);
    }
    void onComplete(bool ok) override
    {
        if (!live())
            return;
        ended = true;
        if (!ok) {
            // A failure without its text: nothing is loaded and nothing counts as sent.
            module->showPage(returnPage());
            if (module->lostConnectionUnder(this))
                module->reportLostConnection(mode());
            module->taskComplete(this);
            return;
        }
        const QString m = mode();
        if (m == QLatin1String("download")) {
            startReading();
            return;
        } else if (command.methodName() == QLatin1String("getDeviceInfo")) {
            // No description because the connection went under the request is that loss, not a busy receiver.
            if (!module->takeSatellitesFrom(result())) {
                if (module->lostConnectionUnder(this))
                    module->reportLostConnection(mode());
                else
                    MessageBox::warning(module, text("Device is busy now. Please try again later."));
            }
            module->showPage(1);
        } else {
            // The project counts as saved only when the document still holds what was sent.
            if (m == QLatin1String("send") && module->listManager()->isProjectLoaded())
                module->takeSentSnapshot(this);
            module->showPage(1);
        }
        module->taskComplete(this);
    }

private:
    // A reply this long is read on the reader thread; a shorter one (a few hundred services) costs
    // less than starting it.
    static constexpr qsizetype inlineReadLimit = 64 * 1024;

    void startReading()
    {
        reading = true;
        module->setReadingTask(this);
        const QString reply = result();
        if (reply.size() < inlineReadLimit) {
            parsed = ListProjectFileManager::readDocument(reply);
            finishReading();
            return;
        }
        QProgressBar *bar = module->transferProgressBar();
        bar->setRange(0, 0);
        // the reader writes only parsed, which is read once it has finished
        reader = QThread::create([this, reply] { parsed = ListProjectFileManager::readDocument(reply); });
        QObject::connect(reader, &QThread::finished, this, [this] { finishReading(); });
        reader->start();
    }
    void finishReading()
    {
        if (reader) {
            reader->wait();
            delete reader;
            reader = nullptr;
        }
        if (module && !module->isTearingDown() && waitForOpenQuestion())
            return;
        reading = false;
        std::unique_ptr<ListDocument> document = std::move(parsed);
        if (!module || module->isTearingDown())
            return;
        module->clearReadingTask(this);
        if (dropped) {
            module->taskComplete(this);
            return;
        }
        // The open project stays until the received list is known to load: a refused reply leaves
        // the page as it was, and a save question cancelled inside the new project keeps the project.
        ListProjectFileManager *manager = module->listManager();
        const bool read = document != nullptr;
        if (read && manager->newProjectFromDocument(std::move(document), result())) {
            module->showPage(1);
        } else if (read && manager->isProjectLoaded()) {
            module->showPage(1);
        } else {
            MessageBox::warning(module, text("Downloaded data format is invalid, please try again."));
            module->showPage(module->restingPage());
        }
        module->taskComplete(this);
    }
    // A question open in the window (the page's own save question while its receiver is removed or the
    // window closes, say) is answered before the list is loaded: loading asks its own question, which
    // would stack on the open one, and the open one's answer would then act on a list it does not name.
    // Until then the task stays reading, so the page's cancel still drops the list; a removal that the
    // answer completes takes the page and this task with it.
    bool waitForOpenQuestion()
    {
        const QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == module->window()) {
            if (questionWait)
                questionWait->stop();
            return false;
        }
        if (!questionWait) {
            questionWait = new QTimer(this);
            questionWait->setInterval(100); // as the window's wait for a hand-over: a blink once answered
            QObject::connect(questionWait, &QTimer::timeout, this, [this] { finishReading(); });
        }
        questionWait->start();
        return true;
    }
    bool readingKept() const { return reading && !dropped && module && !module->isTearingDown(); }

    static DeviceCall callFor(const QString &method, const QMap<QString, QString> &parameters, bool modeFirst)
    {
        DeviceCall call(method);
        if (modeFirst) {
            call.setParameter(QStringLiteral("mode"), parameters.value(QStringLiteral("mode")));
            call.setParameter(QStringLiteral("listType"), parameters.value(QStringLiteral("listType")));
        } else {
            for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
                call.setParameter(it.key(), it.value());
        }
        return call;
    }
    static QString text(const char *source) { return QCoreApplication::translate("TransferListsDeviceTask", source); }
    bool live() const { return module && !module->isTearingDown() && !ended; }
    QString mode() const { return command.parameter(QStringLiteral("mode")); }
    void label(const QString &value) { module->transferStatusLabel()->setText(value); }
    // A request started from the transfer page itself goes back to the editor or welcome page.
    int returnPage() const { return previousPage == 2 ? module->restingPage() : previousPage; }

    bool ended = false;
    bool reading = false;
    bool dropped = false;
    QThread *reader = nullptr;
    QTimer *questionWait = nullptr;
    std::unique_ptr<ListDocument> parsed;
};
