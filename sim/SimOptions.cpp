// Parsing and help text of the velmar-sim command line.
#include "sim/SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <string_view>

namespace velmar {

namespace {

bool ParseInteger(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseFraction(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !(v >= 0.0 && v <= 1.0)) return false;
    out = v;
    return true;
}

} // namespace

std::string SimOptions::usage() {
    return R"(Usage: velmar-sim [--tcp PORT] [--pty] [OPTIONS]
Simulates the Velmar loudspeaker processor on TCP (its WiFi module) and on a pseudo-terminal (its
serial port). Both reach the same unit. On start one line per endpoint goes to stdout, then "ready":
  tcp 127.0.0.1:PORT
  pty /dev/pts/N
  link PATH
  ready
A "pty PATH" line is printed again whenever the pseudo-terminal is made anew.
SIGINT or SIGTERM stop it; SIGUSR1 makes the unit fall silent, SIGUSR2 makes it answer again.

Endpoints (at least one):
  --tcp PORT            listen on 127.0.0.1:PORT (never another interface); 0 picks a free port
  --pty                 make a pseudo-terminal pair and serve its master side
  --link PATH           also make PATH a symbolic link to the pty's slave (implies --pty)
  --baud N              pace pty replies at N bit/s, 10 bits a byte (default 19200; 0 = unpaced)

The unit:
  --model MODEL         2x4, 2x6, 3x6, 4x6 or 4x8 inputs x outputs (default 4x8)
  --address N           RS485 device address 1..250 (default 1); frames to other addresses are ignored
  --state FILE          keep the image, current program, program names and stored programs in FILE
                        between runs (written atomically after every store or rename and at exit)
  --seed N              seed of the meters and of every fault (default 1)
  --demo-setup          start with the demonstration programs: 1 "Two-way main" (current), 2 "Speech",
                        3 "Band live", 4 "Background"; a --state file that exists still wins. The
                        meters follow a music-like programme (A/B a stereo pair, C/D quieter)
  --log                 log every frame in and out to stderr: time, link, direction, hex bytes

Faults (all off by default; F is a fraction from 0 to 1):
  --drop-frames F       ignore received frames, as if lost on the line
  --drop-replies F      apply commands but send no reply
  --corrupt-replies F   send replies with a wrong checksum
  --split-replies F     write replies in 2 to 4 chunks ...
  --split-gap MS        ... MS milliseconds apart (default 2)
  --noise F             put 1..noise-bytes noise bytes before replies
  --noise-bytes N       the most noise bytes before one reply, 1..64 (default 8)
  --delay MS            answer every frame MS milliseconds late
  --delay-jitter MS     plus 0..MS milliseconds more
  --silent-after N      stop answering after N frames received on an endpoint (0: never answer)
  --close-after N       hang up after N frames of a connection; a pty is made anew

  -h, --help            show this help
Exit status: 0 after a clean stop, 1 when an endpoint or the state file fails, 2 on bad options.
)";
}

SimOptions::Parsed SimOptions::parse(int argc, const char* const* argv) {
    Parsed result;
    long long n = 0;
    double f = 0;
    std::string value;
    auto intOption = [&](long long lo, long long hi, auto assign) {
        return [&, lo, hi, assign](const std::string& name) -> std::string {
            if (!ParseInteger(value, lo, hi, n)) {
                return name + ": expected a whole number from " + std::to_string(lo) + " to " +
                       std::to_string(hi) + ", got '" + value + "'";
            }
            assign(n);
            return {};
        };
    };
    auto fractionOption = [&](double SimFaultConfig::*field) {
        return [&, field](const std::string& name) -> std::string {
            if (!ParseFraction(value, f))
                return name + ": expected a fraction from 0 to 1, got '" + value + "'";
            faults.*field = f;
            return {};
        };
    };
    using Handler = std::function<std::string(const std::string&)>;
    const std::map<std::string_view, Handler> withValue = {
        {"--tcp", intOption(0, 65535, [this](long long v) { tcpPort = static_cast<uint16_t>(v); })},
        {"--link",
         [&](const std::string& name) -> std::string {
             if (value.empty()) return name + ": expected a path";
             linkPath = value;
             pty = true;
             return {};
         }},
        {"--baud", intOption(0, 4000000, [this](long long v) { baud = static_cast<int>(v); })},
        {"--model",
         [&](const std::string& name) -> std::string {
             const auto m = ParseSimModel(value);
             if (!m) return name + ": expected 2x4, 2x6, 3x6, 4x6 or 4x8, got '" + value + "'";
             model = *m;
             return {};
         }},
        {"--address", intOption(1, 250, [this](long long v) { address = static_cast<int>(v); })},
        {"--state",
         [&](const std::string& name) -> std::string {
             if (value.empty()) return name + ": expected a file name";
             statePath = value;
             return {};
         }},
        {"--seed",
         [&](const std::string& name) -> std::string {
             char* end = nullptr;
             errno = 0;
             const unsigned long long v = std::strtoull(value.c_str(), &end, 10);
             if (value.empty() || value[0] == '-' || errno != 0 || *end != 0) {
                 return name + ": expected a whole number from 0 to 18446744073709551615, got '" + value +
                        "'";
             }
             seed = v;
             return {};
         }},
        {"--drop-frames", fractionOption(&SimFaultConfig::dropFrames)},
        {"--drop-replies", fractionOption(&SimFaultConfig::dropReplies)},
        {"--corrupt-replies", fractionOption(&SimFaultConfig::corruptReplies)},
        {"--split-replies", fractionOption(&SimFaultConfig::splitReplies)},
        {"--split-gap", intOption(0, 1000, [this](long long v) { faults.splitGapMs = static_cast<int>(v); })},
        {"--noise", fractionOption(&SimFaultConfig::noise)},
        {"--noise-bytes", intOption(1, 64, [this](long long v) { faults.noiseBytes = static_cast<int>(v); })},
        {"--delay", intOption(0, 60000, [this](long long v) { faults.delayMs = static_cast<int>(v); })},
        {"--delay-jitter",
         intOption(0, 60000, [this](long long v) { faults.delayJitterMs = static_cast<int>(v); })},
        {"--silent-after",
         intOption(0, 2000000000, [this](long long v) { faults.silentAfterFrames = static_cast<int>(v); })},
        {"--close-after",
         intOption(1, 2000000000, [this](long long v) { faults.closeAfterFrames = static_cast<int>(v); })},
    };

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            continue;
        }
        if (arg == "--pty") {
            pty = true;
            continue;
        }
        if (arg == "--log") {
            log = true;
            continue;
        }
        if (arg == "--demo-setup") {
            demoSetup = true;
            continue;
        }
        std::string name = arg;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        const auto it = withValue.find(name);
        if (it == withValue.end()) {
            result.error = (name == "--pty" || name == "--log" || name == "--help" || name == "--demo-setup")
                               ? name + " takes no value"
                               : "unknown option '" + arg + "'";
            return result;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                result.error = name + ": missing value";
                return result;
            }
            value = argv[++i];
        }
        if (std::string e = it->second(name); !e.empty()) {
            result.error = e;
            return result;
        }
    }
    faults.seed = seed;
    if (!help && !tcpPort && !pty) {
        result.error = "nothing to listen on: give --tcp PORT and/or --pty";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace velmar
