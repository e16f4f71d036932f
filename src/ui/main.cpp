// velmar: the editor and remote control for the loudspeaker processor.
#include "sim/SimFaultInjector.h"
#include "sim/SimModel.h"
#include "transport/HidapiBackend.h"
#include "ui/app/DemoSimulator.h"
#include "ui/app/ScreenshotTour.h"
#include "ui/app/UiHooks.h"
#include "ui/app/VelmarApp.h"
#include "ui/app/VelmarDlg.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace velmar;

int main(int argc, char** argv) {
    // The screenshot tour renders without a screen, and the help and version texts need none either, so
    // they print on a machine without a display too.
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--screenshot") == 0 || std::strncmp(a, "--screenshot=", 13) == 0 ||
            std::strcmp(a, "-h") == 0 || std::strcmp(a, "--help") == 0 || std::strcmp(a, "--help-all") == 0 ||
            std::strcmp(a, "-v") == 0 || std::strcmp(a, "--version") == 0)
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication application(argc, argv);
    CVelmarApp::ApplyLook(application);
    // The desktop entry and the icon theme's velmar.png/svg: Wayland compositors and task bars match the
    // window to velmar.desktop by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmar"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmar")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Editor and remote control for the loudspeaker processor."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render every tab, configuration, language and dialog to PNG files in DIR and exit."),
        QStringLiteral("DIR"));
    parser.addOption(screenshot);
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral(
            "Start a simulated processor on 127.0.0.1, a pseudo-terminal and USB, ready to connect."));
    parser.addOption(demo);
    const QCommandLineOption demoModel(
        QStringLiteral("demo-model"),
        QStringLiteral("The simulated processor of --demo: 2x4, 2x6, 3x6, 4x6 or "
                       "4x8 (the default)."),
        QStringLiteral("MODEL"), QStringLiteral("4x8"));
    parser.addOption(demoModel);
    // The simulator's own fault options, under velmar-sim's names: the window's verify and repair at work.
    struct FaultOption {
        QCommandLineOption option;
        double SimFaultConfig::*fraction; // null: --delay, in milliseconds
    };
    const FaultOption faultOptions[] = {
        {QCommandLineOption(QStringLiteral("drop-frames"),
                            QStringLiteral("With --demo: the processor ignores this fraction (0 to 1) of the "
                                           "frames it receives, as if lost on the line."),
                            QStringLiteral("F")),
         &SimFaultConfig::dropFrames},
        {QCommandLineOption(QStringLiteral("drop-replies"),
                            QStringLiteral("With --demo: the processor acts on a command but sends no reply, "
                                           "for this fraction (0 to 1) of the commands."),
                            QStringLiteral("F")),
         &SimFaultConfig::dropReplies},
        {QCommandLineOption(
             QStringLiteral("corrupt-replies"),
             QStringLiteral("With --demo: this fraction (0 to 1) of the replies arrives with a "
                            "wrong checksum."),
             QStringLiteral("F")),
         &SimFaultConfig::corruptReplies},
        {QCommandLineOption(QStringLiteral("delay"),
                            QStringLiteral("With --demo: every reply comes this many milliseconds late."),
                            QStringLiteral("MS")),
         nullptr},
    };
    for (const FaultOption& f : faultOptions) parser.addOption(f.option);
    parser.process(application);

    if (parser.isSet(screenshot)) {
        // No link and no USB: the pages show what the demo processor's first exchange reads, the
        // two-way setup of velmar --demo, so the pictures show curves rather than flat lines.
        CVelmarApp app(nullptr, UiHooks{});
        app.InitInstance();
        ScreenshotTour tour(app, parser.value(screenshot));
        DemoSimulator processor;
        QString setupError;
        if (processor.useDemoSetup(&setupError) && !tour.readProcessor(processor.device()))
            setupError = QStringLiteral("it did not answer the handshake and the read of its image");
        if (!setupError.isEmpty()) {
            std::fprintf(stderr, "velmar: the demo processor cannot be read: %s\n", qPrintable(setupError));
            return 1;
        }
        const bool ok = tour.run();
        std::printf("velmar: %lld screenshots in %s\n", static_cast<long long>(tour.written().size()),
                    qPrintable(parser.value(screenshot)));
        if (!ok) std::fprintf(stderr, "velmar: %s\n", qPrintable(tour.error()));
        return ok ? 0 : 1;
    }

    for (const FaultOption& f : faultOptions) {
        if (parser.isSet(f.option) && !parser.isSet(demo)) {
            std::fprintf(stderr, "velmar: --%s works only with --demo\n",
                         qPrintable(f.option.names().constFirst()));
            return 2;
        }
    }

    if (parser.isSet(demo)) {
        const auto model = ParseSimModel(parser.value(demoModel).toStdString());
        if (!model) {
            std::fprintf(stderr, "velmar: unknown --demo-model %s (2x4, 2x6, 3x6, 4x6 or 4x8)\n",
                         qPrintable(parser.value(demoModel)));
            return 2;
        }
        SimFaultConfig faults;
        for (const FaultOption& f : faultOptions) {
            if (!parser.isSet(f.option)) continue;
            const QString text = parser.value(f.option);
            bool ok = false;
            const double v = text.toDouble(&ok);
            const QString name = f.option.names().constFirst();
            if (f.fraction) {
                if (!ok || v < 0 || v > 1) {
                    std::fprintf(stderr, "velmar: --%s: expected a fraction from 0 to 1, got '%s'\n",
                                 qPrintable(name), qPrintable(text));
                    return 2;
                }
                faults.*f.fraction = v;
            } else {
                const int ms = text.toInt(&ok);
                if (!ok || ms < 0 || ms > 60000) {
                    std::fprintf(stderr, "velmar: --%s: expected milliseconds from 0 to 60000, got '%s'\n",
                                 qPrintable(name), qPrintable(text));
                    return 2;
                }
                faults.delayMs = ms;
            }
        }
        // The simulator outlives the application, whose USB link uses its device.
        DemoSimulator simulator(*model);
        simulator.setFaults(faults);
        QString error;
        if (!simulator.useDemoSetup(&error)) {
            std::fprintf(stderr, "velmar: the demo setup is refused: %s\n", qPrintable(error));
            return 1;
        }
        simulator.startProgramme();
        if (!simulator.start(&error)) {
            std::fprintf(stderr, "velmar: the demo processor cannot start: %s\n", qPrintable(error));
            return 1;
        }
        CVelmarApp app(simulator.makeHidBackend(), UiHooks::interactive());
        app.InitInstance();
        simulator.attach(app.state(), app.links());
        app.mainWindow()->setWindowTitle(app.mainWindow()->windowTitle() + QStringLiteral(" - demo"));
        std::printf("velmar: demo processor (%s) on 127.0.0.1:%u, %s and USB.\n"
                    "        Remote > Connect, then WIFI, RS232 or USB.\n",
                    ModelInfo(*model).name, unsigned(simulator.tcpPort()), qPrintable(simulator.ptyPath()));
        QStringList given;
        for (const FaultOption& f : faultOptions)
            if (parser.isSet(f.option))
                given << QStringLiteral("--%1 %2").arg(f.option.names().constFirst(), parser.value(f.option));
        if (!given.isEmpty())
            std::printf("        Link faults: %s; the status line shows the repairs.\n",
                        qPrintable(given.join(", ")));
        std::fflush(stdout);
        return app.Run();
    }

    CVelmarApp app(std::make_unique<HidapiBackend>(), UiHooks::interactive());
    app.InitInstance();
    return app.Run();
}
