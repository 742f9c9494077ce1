#pragma once

#include "receiveremulator.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>

// Holds the receiver from the first bytes of the PC it reads once armed (a keep-alive aside): the request has gone
// and the receiver does not answer. Until let go, or, where the PC is to give the silent connection up, until the
// PC has connected anew.
class ReceiverHold
{
public:
    enum Until { LetGo, ConnectedAnew };

    explicit ReceiverHold(ReceiverEmulator &emulator, Until until = LetGo)
        : emulator(emulator)
    {
        emulator.setReceiveHook([this, until](const QByteArray &soFar) {
            if (!armed.load())
                return;
            // a keep-alive held would end the connection, not hold a request
            const QByteArray fresh = soFar.mid(armedAt.load());
            if (fresh.count(char(0x01)) == fresh.size() || !armed.exchange(false))
                return;
            held = true;
            const int connections = this->emulator.connectionCount();
            // far longer than any test step or the PC's wait; the test lets go, or the PC comes back, first
            for (int waited = 0; waited < 60000 && !release.tryAcquire(1, 10); waited += 10)
                if (until == ConnectedAnew && this->emulator.connectionCount() != connections)
                    break;
            held = false;
        });
    }
    // A test that ended early leaves no session waiting in it.
    ~ReceiverHold()
    {
        emulator.setReceiveHook({});
        release.release(1);
        while (held.load())
            QThread::yieldCurrentThread();
    }
    void arm()
    {
        armedAt = emulator.received().size();
        armed = true;
    }
    bool isHolding() const { return held.load(); }
    void letGo() { release.release(); }

private:
    ReceiverEmulator &emulator;
    std::atomic_bool armed{false};
    std::atomic<qsizetype> armedAt{0};
    std::atomic_bool held{false};
    QSemaphore release;
};
