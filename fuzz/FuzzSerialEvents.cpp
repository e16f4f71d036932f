// Fuzz target: the serial port's pure decodings. Arbitrary terminal settings through the line-setting
// decoders, arbitrary settings through the encoder and back, a sequence of modem-line and error-counter
// snapshots through the line-status decoding the event wait does, and the posted message word.
#include "FuzzSupport.h"

#include "transport/Serial/SerialWnd.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace velmar::fuzz {
namespace {

constexpr uint32_t kModemEvents =
    CSerial::EEventCTS | CSerial::EEventDSR | CSerial::EEventRLSD | CSerial::EEventRing;
constexpr uint32_t kCounterEvents = CSerial::EEventBreak | CSerial::EEventError;
constexpr uint32_t kErrorFlags = CSerial::EErrorRxOver | CSerial::EErrorOverrun | CSerial::EErrorParity |
                                 CSerial::EErrorFrame | CSerial::EErrorBreak;

void Decoders(FuzzedDataProvider& in) {
    struct termios t {};
    t.c_iflag = in.ConsumeIntegral<tcflag_t>();
    t.c_cflag = in.ConsumeIntegral<tcflag_t>();
    ::cfsetospeed(&t, in.ConsumeIntegral<speed_t>());
    const int32_t baud = CSerial::DecodeBaudrate(t);
    VELMAR_FUZZ_CHECK(baud == -1 || (baud >= 50 && baud <= 4000000));
    const int32_t data = CSerial::DecodeDataBits(t);
    VELMAR_FUZZ_CHECK(data >= 5 && data <= 8);
    const int32_t parity = CSerial::DecodeParity(t);
    VELMAR_FUZZ_CHECK(parity >= CSerial::EParNone && parity <= CSerial::EParSpace);
    if (!(t.c_iflag & INPCK)) VELMAR_FUZZ_CHECK(parity == CSerial::EParNone);
    const int32_t stop = CSerial::DecodeStopBits(t);
    VELMAR_FUZZ_CHECK(stop >= CSerial::EStop1 && stop <= CSerial::EStop2);
    const int32_t handshake = CSerial::DecodeHandshaking(t);
    VELMAR_FUZZ_CHECK(handshake >= CSerial::EHandshakeOff && handshake <= CSerial::EHandshakeSoftware);
}

void EncodeDecode(FuzzedDataProvider& in) {
    struct termios t {};
    t.c_iflag = in.ConsumeIntegral<tcflag_t>();
    t.c_cflag = in.ConsumeIntegral<tcflag_t>();
    const struct termios before = t;
    const uint32_t baud = in.ConsumeBool()
                              ? in.PickValueInArray({9600u, 19200u, 38400u, 115200u, 50u, 4000000u})
                              : in.ConsumeIntegral<uint32_t>();
    const int data = in.ConsumeIntegralInRange<int>(-2, 10);
    const int parity = in.ConsumeIntegralInRange<int>(-1, 6);
    const int stop = in.ConsumeIntegralInRange<int>(-1, 3);
    if (!CSerial::EncodeSetup(t, baud, data, parity, stop)) {
        // Refused settings change nothing.
        VELMAR_FUZZ_CHECK(std::memcmp(&t, &before, sizeof t) == 0);
        return;
    }
    VELMAR_FUZZ_CHECK(CSerial::DecodeBaudrate(t) == static_cast<int32_t>(baud));
    VELMAR_FUZZ_CHECK(CSerial::DecodeDataBits(t) == data);
    VELMAR_FUZZ_CHECK(CSerial::DecodeParity(t) == parity);
    VELMAR_FUZZ_CHECK(CSerial::DecodeStopBits(t) == stop);
    // Flow control is not a line setting: the encoder leaves it alone.
    VELMAR_FUZZ_CHECK(CSerial::DecodeHandshaking(t) == CSerial::DecodeHandshaking(before));
}

CSerial::LineCounters Counters(FuzzedDataProvider& in, const CSerial::LineCounters& last) {
    // Mostly small steps, as a driver counts, now and then anything (a wrap, a reset).
    // The kernel's counters wrap; so does this sum.
    auto step = [&](int v) {
        return in.ConsumeBool()
                   ? static_cast<int>(static_cast<unsigned>(v) + in.ConsumeIntegralInRange<unsigned>(0, 2))
                   : in.ConsumeIntegral<int>();
    };
    return {step(last.frame), step(last.overrun), step(last.parity), step(last.brk), step(last.bufOverrun)};
}

// Snapshots as the listener's wait takes them one after the other.
void LineStatus(FuzzedDataProvider& in) {
    int modem = in.ConsumeIntegral<int>();
    CSerial::LineCounters counters{};
    uint32_t ringRises = 0, ringEvents = 0;
    while (in.remaining_bytes() > 0) {
        const int nextModem = in.ConsumeBool() ? modem ^ in.ConsumeIntegral<int>() : modem;
        const CSerial::LineCounters next = Counters(in, counters);

        const uint32_t modemBits = CSerial::ModemEventBits(modem, nextModem);
        VELMAR_FUZZ_CHECK((modemBits & ~kModemEvents) == 0);
        VELMAR_FUZZ_CHECK(((modemBits & CSerial::EEventCTS) != 0) ==
                          (((modem ^ nextModem) & TIOCM_CTS) != 0));
        VELMAR_FUZZ_CHECK(((modemBits & CSerial::EEventDSR) != 0) ==
                          (((modem ^ nextModem) & TIOCM_DSR) != 0));
        VELMAR_FUZZ_CHECK(((modemBits & CSerial::EEventRLSD) != 0) ==
                          (((modem ^ nextModem) & TIOCM_CD) != 0));
        if (modem == nextModem) VELMAR_FUZZ_CHECK(modemBits == 0);
        ringRises += (nextModem & TIOCM_RI) && !(modem & TIOCM_RI);
        ringEvents += (modemBits & CSerial::EEventRing) != 0;

        const uint32_t counterBits = CSerial::CounterEventBits(counters, next);
        const uint32_t errors = CSerial::CounterErrorFlags(counters, next);
        VELMAR_FUZZ_CHECK((counterBits & ~kCounterEvents) == 0);
        VELMAR_FUZZ_CHECK((errors & ~kErrorFlags) == 0);
        // Every error flag comes with its event, and no counter changes silently.
        VELMAR_FUZZ_CHECK(((counterBits & CSerial::EEventBreak) != 0) ==
                          ((errors & CSerial::EErrorBreak) != 0));
        VELMAR_FUZZ_CHECK(((counterBits & CSerial::EEventError) != 0) ==
                          ((errors & ~CSerial::EErrorBreak) != 0));
        VELMAR_FUZZ_CHECK((errors == 0) == (std::memcmp(&counters, &next, sizeof next) == 0));

        // The word the listener posts carries both halves unchanged.
        const uint32_t events = modemBits | counterBits | CSerial::EEventRecv;
        const uint32_t wParam = (events & 0xFFFF) | (errors << 16);
        const SerialLineEvent posted(QEvent::User + 1, wParam, 7);
        VELMAR_FUZZ_CHECK(posted.events() == events && posted.errors() == errors && posted.lParam() == 7);

        modem = nextModem;
        counters = next;
    }
    VELMAR_FUZZ_CHECK(ringRises == ringEvents);
}

} // namespace
} // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    velmar::fuzz::Decoders(in);
    velmar::fuzz::EncodeDecode(in);
    velmar::fuzz::LineStatus(in);
    return 0;
}
