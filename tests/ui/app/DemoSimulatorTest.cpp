// The demo's processor: flat until asked for the demo setup, and with the programme running its
// meters move from one update to the next as a source would move them.
#include "ui/app/DemoSimulator.h"
#include "core/Image.h"

#include <QtTest>

#include <cstring>
#include <set>

using namespace velmar;

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
};

QTEST_MAIN(DemoSimulatorTest)
#include "DemoSimulatorTest.moc"
