// CSerial: one serial port on the POSIX terminal interface, with its settings, line-event waits, reads
// and writes, error codes and trace reports.
#pragma once

#include "transport/UniqueFd.h"

#include <termios.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace velmar {

inline constexpr uint32_t kSerialInfinite = 0xFFFFFFFFu;

// Error codes stored in m_lLastError and returned. Any other non-zero value is the errno of the failed
// system call.
inline constexpr int32_t kSerialErrorInvalidFunction = 1; // overlapped parameters without overlapped I/O
inline constexpr int32_t kSerialErrorNotOpen = 6;         // the port is not open
inline constexpr int32_t kSerialErrorAlreadyOpen = 1247;  // Open on a port that is already open
inline constexpr int32_t kSerialErrorTimeout = 1460;      // a timed wait expired
inline constexpr int32_t kSerialErrorInvalidArg = static_cast<int32_t>(0x80070057u); // bad enumeration value

// Completion record for a read, write or event wait. On this system every operation has completed when
// the call returns, so the record only carries the result: transferred bytes, event bits, error.
// hEvent, when not -1, is an eventfd that ends a pending event wait when it becomes readable.
struct SerialOverlapped {
    int hEvent = -1;
    uint32_t transferred = 0;
    uint32_t events = 0;
    int32_t error = 0;
    bool completed = false;
};

class CSerial {
public:
    // Event bits: the mask of SetMask, m_eEvent, and the low word of a posted serial message.
    enum EEvent : uint32_t {
        EEventNone = 0x0000,
        EEventRecv = 0x0001,  // a character was received
        EEventRcvEv = 0x0002, // the event character was received
        EEventSend = 0x0004,  // the output queue became empty
        EEventCTS = 0x0008,
        EEventDSR = 0x0010,
        EEventRLSD = 0x0020, // carrier detect changed
        EEventBreak = 0x0040,
        EEventError = 0x0080, // a line status error occurred
        EEventRing = 0x0100,
    };
    // Line error flags: GetError, and the high word of a posted serial message.
    enum EError : uint32_t {
        EErrorNone = 0x0000,
        EErrorRxOver = 0x0001, // input queue overflow
        EErrorOverrun = 0x0002,
        EErrorParity = 0x0004,
        EErrorFrame = 0x0008,
        EErrorBreak = 0x0010,
        EErrorTxFull = 0x0100,
    };
    enum EParity { EParNone = 0, EParOdd = 1, EParEven = 2, EParMark = 3, EParSpace = 4 };
    enum EStopBits { EStop1 = 0, EStop1_5 = 1, EStop2 = 2 };
    enum EHandshake { EHandshakeOff = 0, EHandshakeHardware = 1, EHandshakeSoftware = 2 };
    enum EReadTimeout { EReadTimeoutNonblocking = 0, EReadTimeoutBlocking = 1 };

    static constexpr uint32_t kDefaultEventMask = EEventRecv | EEventBreak | EEventError; // 0x00C1
    static constexpr uint32_t kAllEvents = 0x01FF;

    CSerial();
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // Threading: one thread (the owner, normally the user-interface thread) opens, configures, reads,
    // writes and closes. WaitEvent, GetEventType and GetError may also run on one listener thread while
    // the port is open; Close must not race with them (CSerialEx stops its listener first).

    // Opens a device path for reading and writing, exclusively (TIOCEXCL), without making it the
    // controlling terminal, with the original terminal settings kept for Close. Then: event mask 0x00C1,
    // non-blocking reads, raw 8-bit line. dwInQueue / dwOutQueue are checked but the kernel keeps its own
    // queue sizes.
    virtual int32_t Open(const char* device, uint32_t dwInQueue = 0, uint32_t dwOutQueue = 0,
                         bool fOverlapped = false);
    // Puts the original terminal settings back and releases the port.
    virtual int32_t Close();
    virtual int32_t Setup(uint32_t baudrate = 9600, int dataBits = 8, int parity = EParNone,
                          int stopBits = EStop1);
    virtual int32_t SetEventChar(uint8_t eventChar, bool fAdjustMask = true);
    virtual int32_t SetMask(uint32_t mask = kDefaultEventMask);
    // Waits for one of the masked events; the bits land in m_eEvent (and in the record). Re-applying the
    // mask with SetMask ends a wait in progress with no bits, as does the record's hEvent.
    virtual int32_t WaitEvent(SerialOverlapped* lpOverlapped = nullptr, uint32_t timeoutMs = kSerialInfinite);
    virtual int32_t SetupHandshaking(int handshake);
    virtual int32_t SetupReadTimeouts(int readTimeout);
    virtual int32_t GetBaudrate();
    virtual int32_t GetDataBits();
    virtual int32_t GetParity();
    virtual int32_t GetStopBits();
    virtual int32_t GetHandshaking();
    virtual uint32_t GetEventMask();
    virtual uint8_t GetEventChar();
    virtual int32_t Write(const char* text, uint32_t* pdwWritten = nullptr,
                          SerialOverlapped* lpOverlapped = nullptr, uint32_t timeoutMs = kSerialInfinite);
    virtual int32_t Write(const void* data, size_t size, uint32_t* pdwWritten = nullptr,
                          SerialOverlapped* lpOverlapped = nullptr, uint32_t timeoutMs = kSerialInfinite);
    virtual int32_t Read(void* data, size_t size, uint32_t* pdwRead = nullptr,
                         SerialOverlapped* lpOverlapped = nullptr, uint32_t timeoutMs = kSerialInfinite);

    // The line-setting encodings on the terminal interface, used by Setup and the getters. Encode
    // returns false, changing nothing, for settings the line cannot have.
    static bool EncodeSetup(struct termios& t, uint32_t baudrate, int dataBits, int parity, int stopBits);
    static int32_t DecodeBaudrate(const struct termios& t);
    static int32_t DecodeDataBits(const struct termios& t);
    static int32_t DecodeParity(const struct termios& t);
    static int32_t DecodeStopBits(const struct termios& t);
    static int32_t DecodeHandshaking(const struct termios& t);

    // The driver's line-status counters (TIOCGICOUNT) as the event wait and GetError compare them.
    struct LineCounters {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    };
    // The pure decodings of the line status behind the event wait and GetError: the event bits for a
    // change of the modem lines (CTS, DSR and carrier changed, ring rising), the event bits for a change
    // of the counters (break, line error), and the line error flags for a change of the counters.
    static uint32_t ModemEventBits(int lastModem, int modem);
    static uint32_t CounterEventBits(const LineCounters& before, const LineCounters& after);
    static uint32_t CounterErrorFlags(const LineCounters& before, const LineCounters& after);

    bool IsOpen() const { return m_hFile.valid(); }
    // m_eEvent masked with the event mask, and clears m_eEvent.
    uint32_t GetEventType();
    // Line error flags counted by the driver since the last call (0 when the port has none to report).
    uint32_t GetError();
    bool GetCTS();
    bool GetDSR();
    bool GetRing();
    bool GetRLSD();
    int32_t Purge();
    // Holds a break on the line for 100 ms (blocks the caller for that long).
    int32_t Break();
    int32_t GetLastError() const { return m_lLastError.load(); }

protected:
    // The line error flags since the last call, for GetError and the listener. Returns 0 or an errno;
    // a port without error counters (a pseudo-terminal) reports none.
    int ReadLineErrors(uint32_t& flags);
    void SetLastError(int32_t code) { m_lLastError.store(code); }
    int32_t StoreErrno(int err);

    std::atomic<int32_t> m_lLastError{0};
    UniqueFd m_hFile;
    std::atomic<uint32_t> m_eEvent{0};
    std::atomic<uint32_t> m_dwEventMask{0};
    UniqueFd m_hevtOverlapped; // eventfd; only with overlapped I/O
    // eventfd through which SetMask and Read reach a wait in progress (a new mask ends it, a read lets
    // it look for received characters again).
    UniqueFd m_wakeFd;

private:
    enum class WaitResult { Event, Woken, Timeout, Failed };
    WaitResult WaitForLineEvents(int wakeFd, uint32_t timeoutMs, uint32_t& bits, int& err);
    uint32_t CheckLineStatus(uint32_t mask);
    bool ModemStatus(const char* getter, int bit);
    // Open check and current settings for a getter, with its reports; false when it must return -1.
    bool ReadSettings(const char* getter, struct termios& t);
    bool OverlappedIllegal(const char* operation, const SerialOverlapped* lpOverlapped, uint32_t timeoutMs);
    void WakeWait();

    struct termios m_savedTermios {};
    bool m_haveSavedTermios = false;
    uint8_t m_eventChar = 0;
    int m_readTimeoutMode = EReadTimeoutNonblocking;

    // Read-side arming: after a received-character event the descriptor is not polled for input again
    // until the owner has read, so unread bytes do not turn the wait into a busy loop.
    std::atomic<bool> m_rxArmed{true};
    // Set once the port hung up (device gone); the wait then no longer polls the descriptor.
    std::atomic<bool> m_hungUp{false};
    // Bumped by SetMask; a wait that sees it change ends with no bits.
    std::atomic<uint32_t> m_maskGeneration{0};
    std::atomic<bool> m_txPending{false};
    std::atomic<bool> m_ownRecordBusy{false};

    // Listener-side line-status baselines (only the waiting thread touches these while the port is open).
    bool m_modemSupported = true;
    bool m_waitCountersSupported = true;
    int m_lastModem = 0;
    LineCounters m_waitCounters;

    // Guards m_errorCounters and m_errorCountersSupported: GetError may be called by the owner while the
    // listener reads the line errors too.
    std::mutex m_errorMutex;
    LineCounters m_errorCounters;
    bool m_errorCountersSupported = true;
};

} // namespace velmar
