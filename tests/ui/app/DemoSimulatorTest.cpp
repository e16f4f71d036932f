// The demo's processor: flat until asked for the demo setup, and with the programme running its
// meters move from one update to the next as a source would move them, also in a connected window.
#include "support/TestApp.h"

#include "controls/RenderOutput.h"

#include "core/Image.h"
#include "ui/app/DemoSimulator.h"
#include "ui/dialogs/ConnectDlg.h"

#include <QPushButton>
#include <QtTest>

#include <cstring>
#include <set>

using namespace velmar;
using velmar::test::TestApp;

class DemoSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void startsFlatUntilTheDemoSetupIsAskedFor() {
        DemoSimulator plain;
        const DeviceImage image = plain.device().image();
        for (const InputBlock& in : image.inputs) QVERIFY(std::memcmp(&in, &InputTemplate(), sizeof in) == 0);
        QCOMPARE(plain.device().currentProgram(), uint8_t(0));

        DemoSimulator demo;
        QVERIFY(demo.useDemoSetup());
        QCOMPARE(demo.device().currentProgram(), uint8_t(1));
        QCOMPARE(demo.device().image().outputs[0].hpfFreq, int16_t(1200));
        const DeviceImage current = demo.device().image();
        const DeviceImage stored = demo.device().storedProgram(1);
        QVERIFY(std::memcmp(&current, &stored, sizeof current) == 0);
    }

    void theProgrammeMovesTheMetersAndStopsWithTheProcessor() {
        DemoSimulator demo;
        QVERIFY(demo.useDemoSetup());
        demo.startProgramme(3);
        std::set<int> inputA, output1;
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(DemoSimulator::kProgrammeIntervalMs);
            const SimMeters::Levels m = demo.device().meterLevels();
            inputA.insert(m.input[0]);
            output1.insert(m.output[0] & 0x7F);
            QVERIFY(m.input[0] > 40 && m.input[0] < 110); // -60 to +10 dBu: a programme, not silence or clip
        }
        QVERIFY2(inputA.size() >= 4, "input A moves");
        QVERIFY2(output1.size() >= 4, "output 1 follows it");

        demo.stop();
        const SimMeters::Levels stopped = demo.device().meterLevels();
        QTest::qWait(4 * DemoSimulator::kProgrammeIntervalMs);
        QCOMPARE(demo.device().meterLevels().input[0], stopped.input[0]);
    }

    // The window connected over WiFi as a user connects: the pages show program 1 and the meters it
    // reads from the processor's heartbeats change while the programme runs.
    void aConnectedWindowShowsTheSetupAndMovingMeters() {
        CVelmarApp::ApplyLook(*qApp);
        DemoSimulator demo;
        QVERIFY(demo.useDemoSetup());
        demo.startProgramme();
        QVERIFY(demo.start());
        TestApp t(nullptr, /*stopTimers=*/false);
        demo.attach(t.state(), t.app().links());
        t.onModal = [](QDialog& d) {
            auto& dialog = static_cast<CConnectDlg&>(d);
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.wifiButton()->click(); });
            QTimer::singleShot(10000, &dialog, [&dialog] { dialog.reject(); });
            return dialog.exec();
        };
        t.window().action(CVelmarDlg::Command::Connect)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, 10000);
        QCOMPARE(t.core().image.outputs[2].lpfFreq, int16_t(1200));
        QCOMPARE(QString::fromLatin1(t.core().programNames[1]).trimmed(), QStringLiteral("Two-way main"));

        std::set<int> inputA, output3;
        for (int i = 0; i < 15; ++i) {
            QTest::qWait(200);
            inputA.insert(t.core().meterLevels.inputLevel[0]);
            output3.insert(t.core().meterLevels.outputLevel[2] & 0x7F);
        }
        QVERIFY2(inputA.size() >= 3, "input A's meter moves");
        QVERIFY2(output3.size() >= 3, "output 3's meter moves");
        QVERIFY(*inputA.rbegin() < 116); // never pinned at the top segment
        QVERIFY(t.messages.isEmpty());
        // For a person to look at: the Gain page of the living demo.
        t.window().SelectTab(1);
        QTest::qWait(300);
        QVERIFY(test::saveRender(t.window().grab().toImage(), QStringLiteral("demo-connected-gain.png")));
    }
};

QTEST_MAIN(DemoSimulatorTest)
#include "DemoSimulatorTest.moc"
