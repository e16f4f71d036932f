// velmar-connect-bench: connects to one lossy velmar-sim over TCP on 127.0.0.1 again and again, as
// velmarctl info does (handshake and whole-image read through CtlSession, in-process), and prints how
// many connections succeeded and the median and worst connection time.
//   velmar-connect-bench [--count N] [--seed S] [--sim PATH]
#include "ctl/CtlOptions.h"
#include "ctl/CtlSession.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The line the target was set against: one frame in ten lost on the way in, one reply in ten never
// sent, one in fifty corrupted.
const std::vector<std::string> kFaults = {"--drop-frames",     "0.1", "--drop-replies", "0.1",
                                          "--corrupt-replies", "0.02"};

struct Simulator {
    pid_t pid = -1;
    int port = 0;
};

// Starts velmar-sim on a free port of 127.0.0.1 and reads its start-up lines up to "ready".
Simulator StartSimulator(const std::string& binary, const std::string& seed) {
    std::vector<std::string> args = {binary, "--tcp", "0", "--seed", seed};
    args.insert(args.end(), kFaults.begin(), kFaults.end());
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return {};
    Simulator sim;
    sim.pid = ::fork();
    if (sim.pid == 0) {
        ::dup2(out[1], 1);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    FILE* lines = ::fdopen(out[0], "r");
    char line[256];
    while (lines && std::fgets(line, sizeof line, lines)) {
        const std::string text = line;
        if (text.rfind("tcp 127.0.0.1:", 0) == 0) sim.port = std::atoi(text.c_str() + 14);
        if (text.rfind("ready", 0) == 0) break;
    }
    // The simulator's later output is not read; its pipe stays open so it never blocks on a write.
    return sim;
}

} // namespace

int main(int argc, char** argv) {
    int count = 1000;
    std::string seed = "1";
    std::string simBinary = VELMAR_SIM_BINARY;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--count")
            count = std::max(1, std::atoi(argv[i + 1]));
        else if (name == "--seed")
            seed = argv[i + 1];
        else if (name == "--sim")
            simBinary = argv[i + 1];
    }

    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::signal(SIGPIPE, SIG_IGN);

    const Simulator sim = StartSimulator(simBinary, seed);
    if (sim.pid <= 0 || sim.port == 0) {
        std::fprintf(stderr, "velmar-connect-bench: velmar-sim did not start (%s)\n", simBinary.c_str());
        return 1;
    }

    std::vector<double> seconds;
    int succeeded = 0;
    for (int i = 0; i < count; ++i) {
        velmar::ctl::CtlOptions options;
        options.link = velmar::ctl::LinkChoice::Tcp;
        options.tcpHost = "127.0.0.1";
        options.tcpPort = static_cast<uint16_t>(sim.port);
        options.command = velmar::ctl::Command::Info;
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        int code = 0;
        {
            velmar::ctl::CtlSession session(options, out, err);
            code = session.run();
        }
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (code == 0)
            ++succeeded;
        else
            std::fprintf(stderr, "connection %d failed (exit %d, %.2f s): %s", i + 1, code, seconds.back(),
                         err.str().c_str());
        if ((i + 1) % 100 == 0) std::fprintf(stderr, "%d connections\n", i + 1);
    }

    ::kill(sim.pid, SIGTERM);
    ::waitpid(sim.pid, nullptr, 0);

    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double q) { return sorted[static_cast<size_t>(q * (sorted.size() - 1) + 0.5)]; };
    std::printf("line: velmar-sim --seed %s", seed.c_str());
    for (const auto& f : kFaults) std::printf(" %s", f.c_str());
    std::printf(" (TCP, 127.0.0.1)\n");
    std::printf("connections succeeded: %d of %d\n", succeeded, count);
    std::printf("connection time: median %.3f s, 90%% %.3f s, 99%% %.3f s, worst %.3f s\n", at(0.5), at(0.9),
                at(0.99), sorted.back());
    return succeeded == count ? 0 : 1;
}
