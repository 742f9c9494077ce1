#pragma once

#include <QCloseEvent>

// The close request a receiver's pages get when the receiver leaves the list, not when the program ends:
// a working page stops its work and lets go (asking first, unless the user has already agreed to stop the
// receiver's work), and nothing closes the window.
class ReceiverCloseEvent : public QCloseEvent
{
public:
    explicit ReceiverCloseEvent(bool stopAgreed)
        : m_stopAgreed(stopAgreed)
    {}

    bool stopAgreed() const { return m_stopAgreed; }

private:
    bool m_stopAgreed;
};
