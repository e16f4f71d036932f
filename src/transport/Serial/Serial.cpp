// CSerial on termios: settings, event waits by descriptor polling and modem-status checks, non-blocking
// reads, timed writes.
#include "Serial.h"

#include "SerialTrace.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace velmar {

namespace {

using Clock = std::chrono::steady_clock;

// How often the wait looks at the modem lines, the error counters and the output queue while one of
// those events is in the mask. The kernel offers no descriptor readiness for them.
constexpr int kLineStatusPollMs = 50;

struct BaudEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr BaudEntry kBaudTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool BaudToSpeed(uint32_t baud, speed_t& speed) {
    for (const auto& e : kBaudTable)
        if (e.baud == baud) {
            speed = e.speed;
            return true;
        }
    return false;
}

int32_t SpeedToBaud(speed_t speed) {
    for (const auto& e : kBaudTable)
        if (e.speed == speed) return static_cast<int32_t>(e.baud);
    return -1;
}

// A device without modem lines or error counters (a pseudo-terminal) answers these.
bool IsUnsupported(int err) {
    return err == ENOTTY || err == EINVAL;
}

void Signal(int eventFd) {
    if (eventFd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
    if (eventFd < 0) return;
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(eventFd, &value, sizeof value);
}

int RemainingMs(bool infinite, Clock::time_point deadline) {
    if (infinite) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

bool CSerial::EncodeSetup(struct termios& t, uint32_t baudrate, int dataBits, int parity, int stopBits) {
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    speed_t speed = B0;
    // One and a half stop bits exist only with five data bits, two stop bits only with more.
    const bool valid = BaudToSpeed(baudrate, speed) && dataBits >= 5 && dataBits <= 8 && parity >= EParNone &&
                       parity <= EParSpace && stopBits >= EStop1 && stopBits <= EStop2 &&
                       (stopBits != EStop1_5 || dataBits == 5) && (stopBits != EStop2 || dataBits != 5);
    if (!valid) return false;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[dataBits - 5];
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
    case EParOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case EParEven:
        t.c_cflag |= PARENB;
        break;
    case EParMark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case EParSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // Parity checking exactly when there is parity.
    if (parity != EParNone)
        t.c_iflag |= INPCK;
    else
        t.c_iflag &= ~INPCK;
    if (stopBits == EStop1)
        t.c_cflag &= ~CSTOPB;
    else
        t.c_cflag |= CSTOPB;
    return true;
}

int32_t CSerial::DecodeBaudrate(const struct termios& t) {
    return SpeedToBaud(::cfgetospeed(&t));
}

int32_t CSerial::DecodeDataBits(const struct termios& t) {
    switch (t.c_cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

int32_t CSerial::DecodeParity(const struct termios& t) {
    if (!(t.c_iflag & INPCK) || !(t.c_cflag & PARENB)) return EParNone;
    if (t.c_cflag & CMSPAR) return (t.c_cflag & PARODD) ? EParMark : EParSpace;
    return (t.c_cflag & PARODD) ? EParOdd : EParEven;
}

int32_t CSerial::DecodeStopBits(const struct termios& t) {
    if (!(t.c_cflag & CSTOPB)) return EStop1;
    return (t.c_cflag & CSIZE) == CS5 ? EStop1_5 : EStop2;
}

int32_t CSerial::DecodeHandshaking(const struct termios& t) {
    if (t.c_cflag & CRTSCTS) return EHandshakeHardware;
    if ((t.c_iflag & IXON) && (t.c_iflag & IXOFF)) return EHandshakeSoftware;
    return EHandshakeOff;
}

uint32_t CSerial::ModemEventBits(int lastModem, int modem) {
    const int changed = modem ^ lastModem;
    uint32_t bits = 0;
    if (changed & TIOCM_CTS) bits |= EEventCTS;
    if (changed & TIOCM_DSR) bits |= EEventDSR;
    if (changed & TIOCM_CD) bits |= EEventRLSD;
    if ((modem & TIOCM_RI) && !(lastModem & TIOCM_RI)) bits |= EEventRing;
    return bits;
}

uint32_t CSerial::CounterEventBits(const LineCounters& before, const LineCounters& after) {
    uint32_t bits = 0;
    if (after.brk != before.brk) bits |= EEventBreak;
    if (after.frame != before.frame || after.overrun != before.overrun || after.parity != before.parity ||
        after.bufOverrun != before.bufOverrun)
        bits |= EEventError;
    return bits;
}

uint32_t CSerial::CounterErrorFlags(const LineCounters& before, const LineCounters& after) {
    uint32_t flags = 0;
    if (after.bufOverrun != before.bufOverrun) flags |= EErrorRxOver;
    if (after.overrun != before.overrun) flags |= EErrorOverrun;
    if (after.parity != before.parity) flags |= EErrorParity;
    if (after.frame != before.frame) flags |= EErrorFrame;
    if (after.brk != before.brk) flags |= EErrorBreak;
    return flags;
}

CSerial::CSerial() = default;

CSerial::~CSerial() {
    if (IsOpen()) {
        SerialTrace("CSerial::~CSerial - Serial port not closed\n");
        CSerial::Close();
    }
}

int32_t CSerial::StoreErrno(int err) {
    SetLastError(err);
    return err;
}

bool CSerial::OverlappedIllegal(const char* operation, const SerialOverlapped* lpOverlapped,
                                uint32_t timeoutMs) {
    if (m_hevtOverlapped || (!lpOverlapped && timeoutMs == kSerialInfinite)) return false;
    SerialTrace(std::string(operation) + "Overlapped I/O is disabled, specified parameters are illegal.\n");
    SetLastError(kSerialErrorInvalidFunction);
    return true;
}

void CSerial::WakeWait() {
    Signal(m_wakeFd.get());
}

int32_t CSerial::Open(const char* device, uint32_t dwInQueue, uint32_t dwOutQueue, bool fOverlapped) {
    SetLastError(0);
    if (IsOpen()) {
        SerialTrace("CSerial::Open - Port already opened\n");
        SetLastError(kSerialErrorAlreadyOpen);
        return kSerialErrorAlreadyOpen;
    }
    // The kernel sizes its own tty queues; the sizes are only checked.
    if (dwInQueue || dwOutQueue) {
        if (dwInQueue < 16) SerialTrace("dwInQueue >= 16");
        if (dwOutQueue < 16) SerialTrace("dwOutQueue >= 16");
    }

    UniqueFd file(::open(device ? device : "", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!file) {
        const int err = errno;
        SerialTrace("CSerial::Open - Unable to open port\n");
        return StoreErrno(err);
    }
    // No sharing: a second open of the port by anyone but root fails with EBUSY.
    if (::ioctl(file.get(), TIOCEXCL) != 0 && !IsUnsupported(errno)) {
        const int err = errno;
        SerialTrace("CSerial::Open - Unable to open port\n");
        return StoreErrno(err);
    }
    m_haveSavedTermios = ::tcgetattr(file.get(), &m_savedTermios) == 0;

    UniqueFd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    UniqueFd overlapped;
    if (fOverlapped) overlapped.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake || (fOverlapped && !overlapped)) {
        const int err = errno;
        SerialTrace("CSerial::Open - Unable to create event\n");
        ::ioctl(file.get(), TIOCNXCL);
        return StoreErrno(err);
    }

    m_hFile = std::move(file);
    m_wakeFd = std::move(wake);
    m_hevtOverlapped = std::move(overlapped);
    m_eEvent.store(0);
    m_rxArmed.store(true);
    m_hungUp.store(false);
    m_txPending.store(false);
    m_eventChar = 0;

    if (SetMask(kDefaultEventMask) != 0 || SetupReadTimeouts(EReadTimeoutNonblocking) != 0) {
        const int32_t err = GetLastError();
        SerialTrace("CSerial::Open - Unable to setup the COM-port\n");
        CSerial::Close();
        SetLastError(err);
        return err;
    }

    // The default line configuration: raw 8-bit bytes, receiver on, modem lines not controlling us.
    struct termios raw {};
    if (::tcgetattr(m_hFile.get(), &raw) != 0) {
        SerialTrace("CSerial::Open - Unable to obtain default communication configuration.\n");
    } else {
        ::cfmakeraw(&raw);
        raw.c_cflag |= CLOCAL | CREAD;
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        if (::tcsetattr(m_hFile.get(), TCSANOW, &raw) != 0)
            SerialTrace("CSerial::Open - Unable to set default communication configuration.\n");
    }

    // Baselines for the line-status checks of the event wait and of GetError.
    int modem = 0;
    m_modemSupported = ::ioctl(m_hFile.get(), TIOCMGET, &modem) == 0 || !IsUnsupported(errno);
    m_lastModem = modem;
    struct serial_icounter_struct counters {};
    const bool haveCounters = ::ioctl(m_hFile.get(), TIOCGICOUNT, &counters) == 0;
    const LineCounters baseline{counters.frame, counters.overrun, counters.parity, counters.brk,
                                counters.buf_overrun};
    m_waitCountersSupported = haveCounters;
    m_waitCounters = baseline;
    {
        std::lock_guard lock(m_errorMutex);
        m_errorCountersSupported = haveCounters;
        m_errorCounters = baseline;
    }
    return 0;
}

int32_t CSerial::Close() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::Close - Method called when device is not open\n");
        return 0;
    }
    m_hevtOverlapped.reset();
    // Both may fail on a port that has gone away; nothing is left to restore then.
    if (m_haveSavedTermios) ::tcsetattr(m_hFile.get(), TCSANOW, &m_savedTermios);
    ::ioctl(m_hFile.get(), TIOCNXCL);
    m_haveSavedTermios = false;
    m_hFile.reset();
    m_wakeFd.reset();
    return 0;
}

int32_t CSerial::Setup(uint32_t baudrate, int dataBits, int parity, int stopBits) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::Setup - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    struct termios t {};
    if (::tcgetattr(m_hFile.get(), &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::Setup - Unable to obtain DCB information\n");
        return StoreErrno(err);
    }
    const bool valid = EncodeSetup(t, baudrate, dataBits, parity, stopBits);
    if (!valid || ::tcsetattr(m_hFile.get(), TCSANOW, &t) != 0) {
        const int err = valid ? errno : EINVAL;
        SerialTrace("CSerial::Setup - Unable to set DCB information\n");
        return StoreErrno(err);
    }
    return 0;
}

int32_t CSerial::SetEventChar(uint8_t eventChar, bool fAdjustMask) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::SetEventChar - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    // The terminal interface has no event character; the settings are read and written back so that a
    // port that went away fails here as it would on a driver that keeps one.
    struct termios t {};
    if (::tcgetattr(m_hFile.get(), &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::SetEventChar - Unable to obtain DCB information\n");
        return StoreErrno(err);
    }
    if (::tcsetattr(m_hFile.get(), TCSANOW, &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::SetEventChar - Unable to set DCB information\n");
        return StoreErrno(err);
    }
    m_eventChar = eventChar;
    if (fAdjustMask) return SetMask(GetEventMask() | EEventRcvEv);
    return 0;
}

int32_t CSerial::SetMask(uint32_t mask) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::SetMask - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    // Applying a mask ends a wait in progress with no event bits.
    m_dwEventMask.store(mask);
    m_eEvent.store(0);
    m_maskGeneration.fetch_add(1);
    WakeWait();
    return 0;
}

CSerial::WaitResult CSerial::WaitForLineEvents(int wakeFd, uint32_t timeoutMs, uint32_t& bits, int& err) {
    const bool infinite = timeoutMs == kSerialInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    // Wakes that happened before this wait began are settled by reading the state below.
    Drain(m_wakeFd.get());
    const uint32_t generation = m_maskGeneration.load();
    bits = 0;
    for (;;) {
        const uint32_t mask = m_dwEventMask.load();
        if (m_maskGeneration.load() != generation) return WaitResult::Woken;
        const bool hungUp = m_hungUp.load();
        const bool lineStatus =
            !hungUp && (((mask & (EEventCTS | EEventDSR | EEventRLSD | EEventRing)) && m_modemSupported) ||
                        ((mask & (EEventBreak | EEventError)) && m_waitCountersSupported) ||
                        ((mask & EEventSend) && m_txPending.load()));
        struct pollfd fds[3] = {};
        fds[0].fd = hungUp ? -1 : m_hFile.get();
        fds[0].events = ((mask & EEventRecv) && m_rxArmed.load()) ? POLLIN : 0;
        fds[1].fd = m_wakeFd.get();
        fds[1].events = POLLIN;
        fds[2].fd = wakeFd;
        fds[2].events = POLLIN;
        int pollMs = RemainingMs(infinite, deadline);
        if (lineStatus) pollMs = pollMs < 0 ? kLineStatusPollMs : std::min(pollMs, kLineStatusPollMs);

        const int n = ::poll(fds, 3, pollMs);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return WaitResult::Failed;
        }
        if (fds[2].revents & POLLIN) return WaitResult::Woken;
        if (fds[1].revents & POLLIN) {
            Drain(m_wakeFd.get());
            if (m_maskGeneration.load() != generation) return WaitResult::Woken;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // The port went away. Report it once as a line event; from now on the descriptor is left
            // alone, so the wait sleeps until it is stopped instead of spinning on the hang-up.
            m_hungUp.store(true);
            bits = (EEventRLSD | EEventError) & mask;
            if (bits) return WaitResult::Event;
            continue;
        }
        if (fds[0].revents & POLLIN) {
            m_rxArmed.store(false);
            bits |= EEventRecv;
        }
        if (lineStatus) bits |= CheckLineStatus(mask);
        if (bits) return WaitResult::Event;
        if (!infinite && Clock::now() >= deadline) return WaitResult::Timeout;
    }
}

uint32_t CSerial::CheckLineStatus(uint32_t mask) {
    uint32_t bits = 0;
    const int fd = m_hFile.get();
    if ((mask & (EEventCTS | EEventDSR | EEventRLSD | EEventRing)) && m_modemSupported) {
        int modem = 0;
        if (::ioctl(fd, TIOCMGET, &modem) != 0) {
            if (IsUnsupported(errno)) {
                m_modemSupported = false;
            } else if (errno == EIO || errno == ENODEV) {
                m_hungUp.store(true);
                return (EEventRLSD | EEventError) & mask;
            }
        } else {
            bits |= ModemEventBits(m_lastModem, modem);
            m_lastModem = modem;
        }
    }
    if ((mask & (EEventBreak | EEventError)) && m_waitCountersSupported) {
        struct serial_icounter_struct c {};
        if (::ioctl(fd, TIOCGICOUNT, &c) != 0) {
            if (IsUnsupported(errno)) m_waitCountersSupported = false;
        } else {
            const LineCounters now{c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
            bits |= CounterEventBits(m_waitCounters, now);
            m_waitCounters = now;
        }
    }
    if ((mask & EEventSend) && m_txPending.load()) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued == 0) {
            m_txPending.store(false);
            bits |= EEventSend;
        }
    }
    return bits & mask;
}

int32_t CSerial::WaitEvent(SerialOverlapped* lpOverlapped, uint32_t timeoutMs) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::WaitEvent - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (OverlappedIllegal("CSerial::WaitEvent - ", lpOverlapped, timeoutMs))
        return kSerialErrorInvalidFunction;
    const bool ownRecord = !lpOverlapped && m_hevtOverlapped;
    if (ownRecord && m_ownRecordBusy.exchange(true))
        SerialTrace("!m_hevtOverlapped || HasOverlappedIoCompleted(lpOverlapped)");

    uint32_t bits = 0;
    int err = 0;
    const WaitResult result =
        WaitForLineEvents(lpOverlapped ? lpOverlapped->hEvent : -1, timeoutMs, bits, err);
    if (ownRecord) m_ownRecordBusy.store(false);
    m_eEvent.store(bits);
    if (lpOverlapped) {
        lpOverlapped->events = bits;
        lpOverlapped->completed = true;
        lpOverlapped->error = 0;
    }
    switch (result) {
    case WaitResult::Timeout:
        SetLastError(kSerialErrorTimeout);
        return kSerialErrorTimeout;
    case WaitResult::Failed:
        SerialTrace("CSerial::WaitEvent - Unable to wait for COM event\n");
        if (lpOverlapped) lpOverlapped->error = err;
        return StoreErrno(err);
    default:
        return 0;
    }
}

int32_t CSerial::SetupHandshaking(int handshake) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::SetupHandshaking - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (handshake != EHandshakeOff && handshake != EHandshakeHardware && handshake != EHandshakeSoftware) {
        SerialTrace("CSerial::SetupHandshaking - Invalid handshaking mode\n");
        SetLastError(kSerialErrorInvalidArg);
        return kSerialErrorInvalidArg;
    }
    struct termios t {};
    if (::tcgetattr(m_hFile.get(), &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::SetupHandshaking - Unable to obtain DCB information\n");
        return StoreErrno(err);
    }
    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Off and software hold DTR and RTS inactive; hardware lets the driver drive RTS and raises DTR.
    int setLines = 0, clearLines = TIOCM_DTR | TIOCM_RTS;
    if (handshake == EHandshakeHardware) {
        t.c_cflag |= CRTSCTS;
        setLines = TIOCM_DTR;
        clearLines = 0;
    } else if (handshake == EHandshakeSoftware) {
        t.c_iflag |= IXON | IXOFF;
    }
    bool failed = ::tcsetattr(m_hFile.get(), TCSANOW, &t) != 0;
    // A device without modem lines (a pseudo-terminal) has nothing to hold; that step counts as done.
    if (!failed && setLines && ::ioctl(m_hFile.get(), TIOCMBIS, &setLines) != 0 && !IsUnsupported(errno))
        failed = true;
    if (!failed && clearLines && ::ioctl(m_hFile.get(), TIOCMBIC, &clearLines) != 0 && !IsUnsupported(errno))
        failed = true;
    if (failed) {
        const int err = errno;
        SerialTrace("CSerial::SetupHandshaking - Unable to set DCB information\n");
        return StoreErrno(err);
    }
    return 0;
}

int32_t CSerial::SetupReadTimeouts(int readTimeout) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::SetupReadTimeouts - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (readTimeout != EReadTimeoutNonblocking && readTimeout != EReadTimeoutBlocking) {
        SetLastError(kSerialErrorInvalidArg);
        return kSerialErrorInvalidArg;
    }
    // The descriptor stays non-blocking in both modes; a blocking read waits with poll. VMIN and VTIME 0
    // make the driver hand out whatever it holds.
    struct termios t {};
    if (::tcgetattr(m_hFile.get(), &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::SetupReadTimeouts - Unable to obtain timeout information\n");
        return StoreErrno(err);
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(m_hFile.get(), TCSANOW, &t) != 0) {
        const int err = errno;
        SerialTrace("CSerial::SetupReadTimeouts - Unable to set timeout information\n");
        return StoreErrno(err);
    }
    m_readTimeoutMode = readTimeout;
    return 0;
}

bool CSerial::ReadSettings(const char* getter, struct termios& t) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace(std::string("CSerial::") + getter + " - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return false;
    }
    if (::tcgetattr(m_hFile.get(), &t) != 0) {
        const int err = errno;
        SerialTrace(std::string("CSerial::") + getter + " - Unable to obtain DCB information\n");
        StoreErrno(err);
        return false;
    }
    return true;
}

int32_t CSerial::GetBaudrate() {
    struct termios t {};
    return ReadSettings("GetBaudrate", t) ? DecodeBaudrate(t) : -1;
}

int32_t CSerial::GetDataBits() {
    struct termios t {};
    return ReadSettings("GetDataBits", t) ? DecodeDataBits(t) : -1;
}

int32_t CSerial::GetParity() {
    struct termios t {};
    return ReadSettings("GetParity", t) ? DecodeParity(t) : -1;
}

int32_t CSerial::GetStopBits() {
    struct termios t {};
    return ReadSettings("GetStopBits", t) ? DecodeStopBits(t) : -1;
}

int32_t CSerial::GetHandshaking() {
    struct termios t {};
    return ReadSettings("GetHandshaking", t) ? DecodeHandshaking(t) : -1;
}

uint32_t CSerial::GetEventMask() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::GetEventMask - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return 0;
    }
    return m_dwEventMask.load();
}

uint8_t CSerial::GetEventChar() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::GetEventChar - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return 0;
    }
    return m_eventChar;
}

int32_t CSerial::Write(const char* text, uint32_t* pdwWritten, SerialOverlapped* lpOverlapped,
                       uint32_t timeoutMs) {
    return Write(text, text ? std::strlen(text) : 0, pdwWritten, lpOverlapped, timeoutMs);
}

int32_t CSerial::Write(const void* data, size_t size, uint32_t* pdwWritten, SerialOverlapped* lpOverlapped,
                       uint32_t timeoutMs) {
    SetLastError(0);
    if (pdwWritten) *pdwWritten = 0;
    if (lpOverlapped && !pdwWritten) SerialTrace("!lpOverlapped || pdwWritten");
    if (!IsOpen()) {
        SerialTrace("CSerial::Write - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (OverlappedIllegal("CSerial::Write - ", lpOverlapped, timeoutMs)) return kSerialErrorInvalidFunction;
    const bool ownRecord = !lpOverlapped && m_hevtOverlapped;
    if (ownRecord && m_ownRecordBusy.exchange(true))
        SerialTrace("!m_hevtOverlapped || HasOverlappedIoCompleted(lpOverlapped)");

    const bool infinite = timeoutMs == kSerialInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    int err = 0;
    bool timedOut = false;
    const char* failure = "CSerial::Write - Unable to write the data\n";
    while (done < size) {
        const ssize_t n = ::write(m_hFile.get(), bytes + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            err = errno;
            break;
        }
        // The driver's queue is full: with a caller record only what fits now is written.
        if (lpOverlapped) break;
        struct pollfd p {
            m_hFile.get(), POLLOUT, 0
        };
        const int left = RemainingMs(infinite, deadline);
        if (left == 0) {
            timedOut = true;
            break;
        }
        const int r = ::poll(&p, 1, left);
        if (r < 0 && errno != EINTR) {
            err = errno;
            failure = "CSerial::Write - Unable to wait until data has been sent\n";
            break;
        }
    }
    if (ownRecord) m_ownRecordBusy.store(false);
    if (done > 0) m_txPending.store(true);
    if (pdwWritten) *pdwWritten = static_cast<uint32_t>(done);
    if (lpOverlapped) {
        lpOverlapped->transferred = static_cast<uint32_t>(done);
        lpOverlapped->completed = true;
        lpOverlapped->error = err;
    }
    if (err) {
        SerialTrace(failure);
        return StoreErrno(err);
    }
    if (timedOut) {
        // Cancel: what the driver still holds of this frame is dropped, so the next frame starts clean.
        ::tcflush(m_hFile.get(), TCOFLUSH);
        SetLastError(kSerialErrorTimeout);
        return kSerialErrorTimeout;
    }
    return 0;
}

int32_t CSerial::Read(void* data, size_t size, uint32_t* pdwRead, SerialOverlapped* lpOverlapped,
                      uint32_t timeoutMs) {
    SetLastError(0);
    if (pdwRead) *pdwRead = 0;
    if (lpOverlapped && !pdwRead) SerialTrace("!lpOverlapped || pdwRead");
    if (!IsOpen()) {
        SerialTrace("CSerial::Read - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (OverlappedIllegal("CSerial::Read - ", lpOverlapped, timeoutMs)) return kSerialErrorInvalidFunction;
    const bool ownRecord = !lpOverlapped && m_hevtOverlapped;
    if (ownRecord && m_ownRecordBusy.exchange(true))
        SerialTrace("!m_hevtOverlapped || HasOverlappedIoCompleted(lpOverlapped)");

    const bool blocking = m_readTimeoutMode == EReadTimeoutBlocking && !lpOverlapped;
    const bool infinite = timeoutMs == kSerialInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    auto* bytes = static_cast<uint8_t*>(data);
    size_t done = 0;
    int err = 0;
    bool timedOut = false;
    const char* failure = "CSerial::Read - Unable to read the data\n";
    while (done < size) {
        const ssize_t n = ::read(m_hFile.get(), bytes + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            if (!blocking) break;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            err = errno;
            break;
        }
        if (!blocking) break;
        // A hung-up terminal reads as end of file; that ends a blocking read as a failure.
        if (n == 0 && m_hungUp.load()) {
            err = EIO;
            break;
        }
        struct pollfd p {
            m_hFile.get(), POLLIN, 0
        };
        const int left = RemainingMs(infinite, deadline);
        if (left == 0) {
            timedOut = true;
            break;
        }
        const int r = ::poll(&p, 1, left);
        if (r < 0 && errno != EINTR) {
            err = errno;
            failure = "CSerial::Read - Unable to wait until data has been read\n";
            break;
        }
        if (r > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN)) {
            err = EIO;
            break;
        }
    }
    if (ownRecord) m_ownRecordBusy.store(false);
    // The owner has read: a wait may report received characters again.
    m_rxArmed.store(true);
    WakeWait();
    if (pdwRead) *pdwRead = static_cast<uint32_t>(done);
    if (lpOverlapped) {
        lpOverlapped->transferred = static_cast<uint32_t>(done);
        lpOverlapped->completed = true;
        lpOverlapped->error = err;
    }
    if (err) {
        SerialTrace(failure);
        return StoreErrno(err);
    }
    if (timedOut) {
        SetLastError(kSerialErrorTimeout);
        return kSerialErrorTimeout;
    }
    return 0;
}

uint32_t CSerial::GetEventType() {
    const uint32_t mask = m_dwEventMask.load();
    const uint32_t event = m_eEvent.exchange(0);
    const uint32_t result = event & mask;
    if (result == 0)
        SerialTracef("CSerial::GetEventType - Event %08Xh not within mask %08Xh.\n", event, mask);
    return result;
}

int CSerial::ReadLineErrors(uint32_t& flags) {
    flags = 0;
    std::lock_guard lock(m_errorMutex);
    if (!m_errorCountersSupported) return 0;
    struct serial_icounter_struct c {};
    if (::ioctl(m_hFile.get(), TIOCGICOUNT, &c) != 0) {
        if (IsUnsupported(errno)) {
            m_errorCountersSupported = false;
            return 0;
        }
        return errno;
    }
    const LineCounters now{c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
    flags = CounterErrorFlags(m_errorCounters, now);
    m_errorCounters = now;
    return 0;
}

uint32_t CSerial::GetError() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::GetError - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return 0;
    }
    uint32_t flags = 0;
    if (const int err = ReadLineErrors(flags)) {
        SerialTrace("CSerial::GetError - Unable to obtain COM status\n");
        StoreErrno(err);
        return 0;
    }
    return flags;
}

bool CSerial::ModemStatus(const char* getter, int bit) {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace(std::string("CSerial::") + getter + " - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return false;
    }
    int modem = 0;
    if (::ioctl(m_hFile.get(), TIOCMGET, &modem) != 0) {
        const int err = errno;
        if (IsUnsupported(err)) return false;
        // GetRing and GetRLSD have always reported without a line break.
        const bool breakLine = bit == TIOCM_CTS || bit == TIOCM_DSR;
        SerialTrace(std::string("CSerial::") + getter + " - Unable to obtain the modem status" +
                    (breakLine ? "\n" : ""));
        StoreErrno(err);
        return false;
    }
    return (modem & bit) != 0;
}

bool CSerial::GetCTS() {
    return ModemStatus("GetCTS", TIOCM_CTS);
}
bool CSerial::GetDSR() {
    return ModemStatus("GetDSR", TIOCM_DSR);
}
bool CSerial::GetRing() {
    return ModemStatus("GetRing", TIOCM_RI);
}
bool CSerial::GetRLSD() {
    return ModemStatus("GetRLSD", TIOCM_CD);
}

int32_t CSerial::Purge() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::Purge - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (::tcflush(m_hFile.get(), TCIOFLUSH) != 0) return StoreErrno(errno);
    return 0;
}

int32_t CSerial::Break() {
    SetLastError(0);
    if (!IsOpen()) {
        SerialTrace("CSerial::Break - Device is not opened\n");
        SetLastError(kSerialErrorNotOpen);
        return kSerialErrorNotOpen;
    }
    if (::ioctl(m_hFile.get(), TIOCSBRK) != 0 && !IsUnsupported(errno)) return StoreErrno(errno);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (::ioctl(m_hFile.get(), TIOCCBRK) != 0 && !IsUnsupported(errno)) return StoreErrno(errno);
    return 0;
}

} // namespace velmar
