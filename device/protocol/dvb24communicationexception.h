#pragma once

// The error codes of the receiver protocol: a refused status byte read as a signed 8-bit value,
// or the program's own codes for a missing reply (-1) and a bad integer read (-9).
enum class DVB24ExceptionTypes : int {
    Ok = 1,
    GeneralError = -1,
    CommandUnknown = -2,
    NotFound = -3,
    Busy = -4,
    UserAbort = -6,
    ActionPending = -7,
    EndOfFile = -8,
    OutOfHandle = -9
};

// A failure of the receiver protocol or of the connection under it; thrown by value.
class DVB24CommunicationException
{
public:
    DVB24CommunicationException() = default;
    explicit DVB24CommunicationException(int code)
        : m_code(code)
    {}
    explicit DVB24CommunicationException(DVB24ExceptionTypes code)
        : m_code(int(code))
    {}
    // A status byte: its signed value is the code (0xFC gives -4).
    explicit DVB24CommunicationException(char statusByte)
        : m_code(static_cast<signed char>(statusByte))
    {}

    int code() const { return m_code; }

private:
    int m_code = 0;
};
