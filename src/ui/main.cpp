// velmar: the editor and remote control for the loudspeaker processor.
#include "transport/HidapiBackend.h"
#include "ui/app/ScreenshotTour.h"
#include "ui/app/UiHooks.h"
#include "ui/app/VelmarApp.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace velmar;

int main(int argc, char** argv) {
    // The screenshot tour renders without a screen.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0 || std::strncmp(argv[i], "--screenshot=", 13) == 0)
            qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    CVelmarApp::ApplyLook(application);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Editor and remote control for the loudspeaker processor."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render every tab, configuration, language and dialog to PNG files in DIR and exit."),
        QStringLiteral("DIR"));
    parser.addOption(screenshot);
    parser.process(application);

    if (parser.isSet(screenshot)) {
        // No processor and no USB: what the screen shows before anything is connected.
        CVelmarApp app(nullptr, UiHooks{});
        app.InitInstance();
        ScreenshotTour tour(app, parser.value(screenshot));
        const bool ok = tour.run();
        std::printf("velmar: %lld screenshots in %s\n", static_cast<long long>(tour.written().size()),
                    qPrintable(parser.value(screenshot)));
        if (!ok) std::fprintf(stderr, "velmar: %s\n", qPrintable(tour.error()));
        return ok ? 0 : 1;
    }

    CVelmarApp app(std::make_unique<HidapiBackend>(), UiHooks::interactive());
    app.InitInstance();
    return app.Run();
}
