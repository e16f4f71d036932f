// velmarctl: the headless client of the Velmar loudspeaker processor.
#include "ctl/CtlOptions.h"
#include "ctl/CtlSession.h"
#include "ctl/CurveReport.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <iostream>

using namespace velmar::ctl;

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv) {
    CtlOptions options;
    const CtlOptions::Parsed parsed = options.parse(argc, argv);
    if (options.help) {
        std::fputs(CtlOptions::usage().c_str(), stdout);
        return 0;
    }
    if (!parsed.ok) {
        std::fprintf(stderr, "velmarctl: %s\nTry 'velmarctl --help' for the commands and options.\n",
                     parsed.error.c_str());
        return 2;
    }
    if (options.command == Command::Curve)
        return CurveReport::Run(options.file, options.channel, options.filters, std::cout, std::cerr);

    QCoreApplication app(argc, argv);
    // Qt takes the user's locale; numbers are read and printed in the C locale whatever it is.
    std::setlocale(LC_NUMERIC, "C");
    ::signal(SIGPIPE, SIG_IGN);

    CtlSession session(options, std::cout, std::cerr);

    // Ctrl-C and SIGTERM end the run through the event loop, so the link is closed properly (a serial
    // port gets its terminal settings back).
    std::unique_ptr<QSocketNotifier> notifier;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &session, [&session] {
            char buffer[16];
            while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
            }
            session.interrupt();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
    }
    return session.run();
}
