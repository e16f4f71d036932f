// The screenshot tour writes one image per tab, configuration and language, and each dialog and menu,
// and leaves the application as it found it; before it, the demo processor's setup is read in as a
// connection reads it.
#include "support/TestApp.h"

#include "sim/SimDemoSetup.h"
#include "ui/app/DemoSimulator.h"
#include "ui/app/DeviceConfig.h"
#include "ui/app/ScreenshotTour.h"
#include "ui/app/SyncIndicator.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::test::TestApp;

class ScreenshotTourTest : public QObject {
    Q_OBJECT

private slots:
    void writesEveryViewNamedAfterWhatItShows() {
        QString base = qEnvironmentVariable("VELMAR_TEST_OUTPUT");
        if (base.isEmpty()) base = QDir::currentPath();
        const QString dir = QDir(base).filePath(QStringLiteral("screenshots"));
        QDir(dir).removeRecursively();

        TestApp t;
        ScreenshotTour tour(t.app(), dir);
        QVERIFY2(tour.run(), qPrintable(tour.error()));

        int tabs = 0;
        for (int c = DeviceConfig::kFirst; c <= DeviceConfig::kLast; ++c) tabs += DeviceConfig::tabCount(c);
        const int languages = int(t.app().languages().languages().size());
        const QStringList windows = QDir(dir).entryList({QStringLiteral("cfg*.png")});
        QCOMPARE(windows.size(), tabs * languages);
        for (const char* name :
             {"cfg7-en-tab03-geq-a.png", "cfg7-zh-tab18-out-8.png", "cfg3-en-tab06-in-b.png",
              "cfg5-zh-tab09-in-c.png", "dialog-connect-en.png", "dialog-configure-zh.png",
              "menu-zh-system.png", "message-en-warning.png", "verify-en-synced.png",
              "verify-zh-unconfirmed.png", "dialog-unconfirmed-en.png", "dialog-save-waiting-zh.png",
              "message-en-save-failed.png"})
            QVERIFY2(QFileInfo::exists(QDir(dir).filePath(QLatin1String(name))), name);
        QCOMPARE(QImage(QDir(dir).filePath("cfg7-en-tab00-home.png")).size(), QSize(1100, 781));

        QCOMPARE(t.core().languageFlag, 0);
        QCOMPARE(t.core().deviceConfig, 7);
        QCOMPARE(t.state().currentTab, 0);
        QVERIFY(t.messages.isEmpty());
        // The sync indicator's states were staged only for the pictures.
        QCOMPARE(t.core().linkConnected, uint8_t(0));
        QCOMPARE(t.core().verify.status, SyncStatus::Unknown);
        QCOMPARE(t.core().scheduler.storeProgram, uint8_t(0));
        QCOMPARE(t.window().syncIndicator()->text(), QString());
    }

    // The pages show the demo's current program and names, with nothing left waiting in the scheduler
    // and no link opened; the tour run on it still leaves that image in place.
    void readsTheDemoProcessorsSetupAsAConnectionDoes() {
        TestApp t;
        DemoSimulator processor;
        QString error;
        QVERIFY2(processor.useDemoSetup(&error), qPrintable(error));
        ScreenshotTour tour(t.app(), QDir(QDir::tempPath()).filePath(QStringLiteral("velmar-tour-unused")));
        QVERIFY(tour.readProcessor(processor.device()));

        DeviceImage expected{};
        std::string reason;
        QVERIFY(SimDemoImage(1, expected, reason));
        QVERIFY(std::memcmp(&t.core().image, &expected, sizeof expected) == 0);
        QCOMPARE(QString::fromLatin1(t.core().programNames[1]).trimmed(), QStringLiteral("Two-way main"));
        QCOMPARE(QString::fromLatin1(t.core().programNames[4]).trimmed(), QStringLiteral("Background"));
        QCOMPARE(QString::fromLatin1(t.core().programNames[5]).trimmed(), QStringLiteral("USER 5"));
        QCOMPARE(t.core().system.currentProgram(), uint8_t(1));
        QCOMPARE(t.core().linkConfirmed, uint8_t(2));
        QCOMPARE(t.core().linkConnected, uint8_t(0));
        QCOMPARE(t.core().scheduler.onWire, uint8_t(0));
        QVERIFY(t.messages.isEmpty());
    }
};

QTEST_MAIN(ScreenshotTourTest)
#include "ScreenshotTourTest.moc"
