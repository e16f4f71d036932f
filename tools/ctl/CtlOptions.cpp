// Parsing and help text of the velmarctl command line.
#include "ctl/CtlOptions.h"

#include <charconv>
#include <string_view>

namespace velmar::ctl {

namespace {

constexpr int kMaxProgram = 12;
constexpr int kMaxNameBytes = 15; // the rename field holds 15 characters and a terminating zero
constexpr int kMaxCount = 1000000;

bool ParseInt(std::string_view text, int lo, int hi, int& out) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

// "HOST:PORT" or "[IPV6]:PORT".
bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port, std::string& error) {
    std::string portText;
    if (!text.empty() && text[0] == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            error = "--tcp: expected [ADDRESS]:PORT, got '" + text + "'";
            return false;
        }
        host = text.substr(1, close - 1);
        portText = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string::npos) {
            error = "--tcp: expected HOST:PORT, got '" + text + "'";
            return false;
        }
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.find(':') != std::string::npos) {
            error = "--tcp: write an IPv6 address in brackets, as in [::1]:8080";
            return false;
        }
    }
    int p = 0;
    if (host.empty() || !ParseInt(portText, 1, 65535, p)) {
        error = "--tcp: expected HOST:PORT with a port from 1 to 65535, got '" + text + "'";
        return false;
    }
    port = static_cast<uint16_t>(p);
    return true;
}

bool ValidName(const std::string& name) {
    if (name.size() > static_cast<size_t>(kMaxNameBytes)) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

} // namespace

std::string CtlOptions::usage() {
    return R"(Usage: velmarctl (--tcp HOST:PORT | --serial DEVICE | --usb) [--address N] [--json] [--trace]
                 [--no-verify] COMMAND ...
       velmarctl curve FILE CHANNEL [--filters]
Controls a Velmar loudspeaker processor without a window, with the application's own protocol core and
links, paced by the same 100 ms tick. Every connection first handshakes and reads the processor's whole
image back, as the application does: the processor's values are the master copy.

Links (exactly one; curve needs none and ignores them):
  --tcp HOST:PORT       the processor's WiFi module (on its own network 192.168.4.1:8080); velmarctl
                        connects to exactly the address given and to no other
  --serial DEVICE       a serial port (RS232 or RS485, 19200 bit/s, 8N1): a path such as /dev/ttyUSB0
                        or a pseudo-terminal, or a name below /dev such as ttyUSB0
  --usb                 the processor's USB HID interface (vendor 0483, product 5750, version 0200)
Options:
  --address N           RS485 device address 1 to 250, carried in every frame (default 1)
  --json                info, get and meters print one JSON object instead of text, diff one array
  --no-verify           no periodic read-back of the whole image while connected (every 30 s
                        otherwise); set still reads the image back once to confirm its values
  --trace               write every frame sent and received to stderr, one line each: local time,
                        "sent" or "recv", the frame in hex, e.g.
                        2024-05-01T14:03:07.412 sent 5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA
                        (received frames are those that passed their checks)
  -h, --help            show this help
  --                    everything after it is an argument, even when it starts with "--"

Commands:
  info                  model, version, device address, current program, program names 1..12
  dump FILE             write the whole image as read at connection to FILE as a program file
                        (1600 bytes, replaced atomically; the name is used as given)
  load FILE             send the program file FILE (its first 1600 bytes) to the processor as a
                        whole-image write and wait for the processor's answer
  get CHANNEL FIELD     print one field in display units
  set CHANNEL FIELD VALUE [CHANNEL FIELD VALUE ...]
                        change fields in display units over one connection, one line printed per
                        field; succeeds once a read-back of the processor's image shows every value
                        (a value equal to the stored one sends nothing). A value that is refused
                        sends nothing at all. The values the processor does not take after three
                        rounds of repair are listed as "N not confirmed", exit status 1
  diff FILE             the fields in which the processor differs from the program file FILE, one
                        line each: "out2 peq3.gain 3.0dB file 1.5dB" (the processor's value, then
                        the file's, as get prints them; the file read as load would send it)
  program load N        make the processor load its program N (1..12) and read the image back
  program store N       store the processor's current settings as program N (1..12)
  program rename N NAME name program N (1..12); NAME has at most 15 characters (bytes)
  meters [--count K]    K level readings from the heartbeat replies (default 1), one line each:
                        inA=88 ... out1=85 out2=97! ...  (the processor's meter bytes 0..127; the
                        pages light their first segment at 64 and one more every 6, clip above 116;
                        "!" marks an output at its limit). Only the channels the processor has.
  curve FILE CHANNEL [--filters]
                        offline, no link: the channel's response from a program file as CSV, one line
                        per frequency of the 241-point grid, "frequency,dB" of the summed curve with
                        6 decimals; --filters adds one column per filter: the bands, then the
                        high-pass, then the low-pass (inputs and graphic equalisers have a flat
                        crossover, so those two columns are 0). CHANNEL is inA..inD, out1..out8, or
                        geq-inA..geq-inD for an input's graphic-equaliser set (31 bands).

CHANNEL: inA inB inC inD out1 ... out8 (only those the processor has)
FIELD and VALUE (get prints what set takes; units may be left out):
  gain                  -36 to 12 dB, 0.1 dB steps ("-3.5dB")
  delay                 0 to 1000 ms ("9.996ms", "11ms"); also metres "3.4m" or feet "11.2ft"; steps
                        of 0.021 ms up to 9.996 ms, then 1 ms from 11 ms, a value between two steps
                        taking the next one up
  mute                  on | off
  polarity              + | -
  gate                  inputs: noise-gate threshold -120 to 0 dB in whole dB ("-80dB")
  route                 outputs: the inputs feeding it, letters A to D ("AB") or none
  hpf, lpf              outputs: crossover frequency, 20 to 20000 Hz ("120Hz"), or OFF (the high-pass
                        at 20 Hz, the low-pass at 20000 Hz); the high-pass is never above the low-pass
  xover-hp, xover-lp    outputs: alignment "Lin-Ril 12dB" "Lin-Ril 24dB" "Lin-Ril 36dB" "Lin-Ril 48dB"
                        "ButterW 12dB" "ButterW 18dB" "ButterW 24dB" "Bessel 12dB" "Bessel 18dB"
                        "Bessel 24dB" (case and spaces do not matter)
  peq<k>.freq           band k (1..10) frequency, 20 to 20000 Hz; on an input a low shelf takes 20 to
                        2000 Hz and a high shelf 2000 to 20000 Hz
  peq<k>.gain           -20 to 20 dB, 0.1 dB steps
  peq<k>.q              0.404 to 28.852; a value between two steps takes the higher Q
  peq<k>.type           PEQ | Lo_Shf | Hi_Shf (on an input only a type whose frequency limits hold the
                        band's frequency)
  peq<k>.slope          shelf slope 6dB | 12dB
  geq<b>                inputs: graphic-equaliser band b (1..31), -20 to 20 dB
  comp.threshold        outputs: -28 to 20 dBu in whole dBu
  comp.attack           outputs: 3 to 100 ms (whole ms, fractions are cut off)
  comp.release          outputs: Atkx2 | Atkx4 | Atkx6 | Atkx8 | Atkx16 | Atkx32
  comp.ratio            outputs: 1:1 to 127:1, or Inf:1
A value outside its scale or the pages' entry rules is refused with "Data out of range"; a value the
scale alone refuses is refused before any link is opened.

Linked channels: velmarctl keeps no link groups. Every connection starts with none (the handshake
resets them in the application too), so set changes exactly the channel it names.

SIGINT (Ctrl-C) and SIGTERM end a run at once with exit status 1, closing the link first.

Exit status:
  0  done; for diff: the processor equals the file
  1  the link could not be opened, the processor did not answer or acknowledge in time (the message
     names what did not answer), the link was lost (nothing received for about 6 seconds), a value of
     set was not confirmed, or a program file could not be read or written; for diff: they differ
  2  usage error, or a value refused with "Data out of range"; for diff also a file that cannot be
     read as a program file
  3  diff only: no comparison (the link failed or the image could not be read)
)";
}

CtlOptions::Parsed CtlOptions::parse(int argc, const char* const* argv) {
    Parsed result;
    auto fail = [&result](std::string error) {
        result.error = std::move(error);
        return result;
    };

    // Help wins over everything else on the line, even over options that are wrong.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") {
            help = true;
            result.ok = true;
            return result;
        }
    }

    std::vector<std::string> words;
    bool countGiven = false;
    int links = 0;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (endOfOptions || arg.size() < 2 || arg.rfind("--", 0) != 0) {
            if (arg == "-h") {
                help = true;
                result.ok = true;
                return result;
            }
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            endOfOptions = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        const bool flag = name == "--help" || name == "--usb" || name == "--json" || name == "--trace" ||
                          name == "--filters" || name == "--no-verify";
        if (flag) {
            if (hasValue) return fail(name + " takes no value");
            if (name == "--help") {
                help = true;
                result.ok = true;
                return result;
            }
            if (name == "--usb") {
                link = LinkChoice::Usb;
                ++links;
            }
            if (name == "--json") json = true;
            if (name == "--trace") trace = true;
            if (name == "--filters") filters = true;
            if (name == "--no-verify") noVerify = true;
            continue;
        }
        if (name != "--tcp" && name != "--serial" && name != "--address" && name != "--count")
            return fail("unknown option '" + arg + "'");
        if (!hasValue) {
            if (i + 1 >= argc) return fail(name + ": missing value");
            value = argv[++i];
        }
        if (name == "--tcp") {
            std::string error;
            if (!ParseHostPort(value, tcpHost, tcpPort, error)) return fail(error);
            link = LinkChoice::Tcp;
            ++links;
        } else if (name == "--serial") {
            if (value.empty()) return fail("--serial: expected a device");
            serialDevice = value;
            link = LinkChoice::Serial;
            ++links;
        } else if (name == "--address") {
            if (!ParseInt(value, 1, 250, address))
                return fail("--address: expected a device address from 1 to 250, got '" + value + "'");
        } else {
            if (!ParseInt(value, 1, kMaxCount, count))
                return fail("--count: expected a number of readings from 1 to 1000000, got '" + value + "'");
            countGiven = true;
        }
    }

    if (words.empty()) return fail("no command given");
    const std::string& verb = words[0];
    auto arguments = [&](size_t n, const char* syntax) -> bool {
        if (words.size() == n + 1) return true;
        result.error = std::string("usage: ") + syntax;
        return false;
    };
    auto programNumber = [&](const std::string& text) -> bool {
        if (ParseInt(text, 1, kMaxProgram, program)) return true;
        result.error = "program: expected a program number from 1 to 12, got '" + text + "'";
        return false;
    };

    if (verb == "info") {
        if (!arguments(0, "info")) return result;
        command = Command::Info;
    } else if (verb == "dump" || verb == "load") {
        if (!arguments(1, verb == "dump" ? "dump FILE" : "load FILE")) return result;
        command = verb == "dump" ? Command::Dump : Command::Load;
        file = words[1];
    } else if (verb == "get") {
        if (!arguments(2, "get CHANNEL FIELD")) return result;
        command = Command::Get;
        channel = words[1];
        field = words[2];
    } else if (verb == "set") {
        if (words.size() < 4 || (words.size() - 1) % 3 != 0)
            return fail("usage: set CHANNEL FIELD VALUE [CHANNEL FIELD VALUE ...]");
        command = Command::Set;
        for (size_t i = 1; i + 2 < words.size(); i += 3)
            settings.push_back({words[i], words[i + 1], words[i + 2]});
        channel = settings[0].channel;
        field = settings[0].field;
        value = settings[0].value;
    } else if (verb == "diff") {
        if (!arguments(1, "diff FILE")) return result;
        command = Command::Diff;
        file = words[1];
    } else if (verb == "program") {
        const std::string sub = words.size() > 1 ? words[1] : "";
        if (sub == "load" || sub == "store") {
            if (words.size() != 3) return fail("usage: program " + sub + " N");
            if (!programNumber(words[2])) return result;
            command = sub == "load" ? Command::ProgramLoad : Command::ProgramStore;
        } else if (sub == "rename") {
            if (words.size() != 4) return fail("usage: program rename N NAME");
            if (!programNumber(words[2])) return result;
            if (!ValidName(words[3]))
                return fail("program rename: NAME has at most 15 characters and no control characters");
            command = Command::ProgramRename;
            name = words[3];
        } else {
            return fail("usage: program load N | program store N | program rename N NAME");
        }
    } else if (verb == "meters") {
        if (!arguments(0, "meters [--count K]")) return result;
        command = Command::Meters;
    } else if (verb == "curve") {
        if (!arguments(2, "curve FILE CHANNEL [--filters]")) return result;
        command = Command::Curve;
        file = words[1];
        channel = words[2];
    } else {
        return fail("unknown command '" + verb + "'");
    }

    if (countGiven && command != Command::Meters) return fail("--count belongs to meters");
    if (filters && command != Command::Curve) return fail("--filters belongs to curve");
    if (command != Command::Curve) {
        if (links == 0) return fail("give the link: --tcp HOST:PORT, --serial DEVICE or --usb");
        if (links > 1) return fail("give one link only");
    }
    result.ok = true;
    return result;
}

} // namespace velmar::ctl
