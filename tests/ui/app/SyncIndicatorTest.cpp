// Verify and repair as the window shows it, against velmar-sim over TCP: the status line's sync
// indicator, the list of fields not confirmed, the passing notices, System > Periodic verify, a failed
// import, and the demo's simulator with link faults.
#include "support/TestApp.h"
#include "syspages/SysAppRig.h"

#include "core/Verify.h"
#include "ui/app/DemoSimulator.h"
#include "ui/app/LanguageManager.h"
#include "ui/app/SyncIndicator.h"
#include "ui/dialogs/MemorySave.h"
#include "ui/dialogs/SysProgramList.h"
#include "ui/dialogs/UnconfirmedDlg.h"
#include "ui/pages/GainDlg.h"

#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::syspagestest::AppRig;
using velmar::syspagestest::SimProcessor;

namespace {

constexpr int kGainColumnOut2 = 5; // the Gain page's fader of output 2

QString indicator(AppRig& rig) {
    return rig.window().syncIndicator()->text();
}

// One step up on output 2's gain, as the user gives it on the Gain page; returns the new raw value.
int stepOut2Gain(AppRig& rig) {
    rig.window().gainPage()->OnSpin(kGainColumnOut2, -1);
    return rig.core().image.outputs[1].gain;
}

// The processor loses output 2's gain: it keeps `raw` whatever it is sent.
void forceOut2Gain(SimProcessor& sim, int raw) {
    DeviceImage image = sim.device.image();
    image.outputs[1].gain = uint16_t(raw);
    sim.device.setImage(image);
}

} // namespace

class SyncIndicatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CVelmarApp::ApplyLook(*qApp); }

    void saysNothingUnconnectedThenSyncedCheckingSynced() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QCOMPARE(indicator(rig), QString());
        QVERIFY(rig.connectTcp(sim.port()));
        QCOMPARE(indicator(rig), QStringLiteral("Synced"));

        const int edited = stepOut2Gain(rig);
        AppRig::deliverPosted();
        QCOMPARE(indicator(rig), QStringLiteral("Checking"));
        QVERIFY(rig.runUntil([&] { return indicator(rig) == QStringLiteral("Synced"); }));
        QCOMPARE(int(sim.device.image().outputs[1].gain), edited);
        QVERIFY(rig.messages.isEmpty());

        rig.window().SetLanguage(LanguageManager::kChinese);
        QCOMPARE(indicator(rig), QStringLiteral("已同步"));
        rig.window().ToggleConnection(); // closes the link
        QCOMPARE(indicator(rig), QString());
    }

    void aWriteTheProcessorLostIsRepairedAndSaidSo() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        // The verify read is asked for by hand once the value has been lost, whatever the machine's pace.
        rig.core().verify.settings.afterEdits = 0;
        rig.core().verify.settings.periodTicks = 0;
        const int before = rig.core().image.outputs[1].gain;
        const int edited = stepOut2Gain(rig);
        // Acknowledged, then lost inside the processor before the verify read. The write is streamed
        // until answered: the copies still on their way arrive (no ticks) before it is lost.
        QVERIFY(rig.runUntil([&] {
            return int(sim.device.image().outputs[1].gain) == edited &&
                   rig.core().scheduler.state == SchedState::Idle;
        }));
        QTest::qWait(150);
        forceOut2Gain(sim, before);
        rig.core().verify.settings.afterEdits = 1;
        RequestVerify(rig.core());
        QVERIFY(rig.runUntil([&] { return indicator(rig) == QStringLiteral("Repaired 1"); }));
        QCOMPARE(int(sim.device.image().outputs[1].gain), edited);
        QCOMPARE(rig.core().image.outputs[1].gain, edited);
        // A passing notice: back to the status after a few seconds, no box.
        QTRY_COMPARE_WITH_TIMEOUT(indicator(rig), QStringLiteral("Synced"), SyncIndicator::kNoticeMs + 2000);
        QVERIFY(rig.messages.isEmpty());
    }

    void aChangeAtTheProcessorIsTakenAndAnnouncedOnce() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        DeviceImage changed = sim.device.image();
        changed.outputs[3].delay = 480;
        changed.inputs[2].peq[4].gain = 130;
        sim.device.setImage(changed);
        RequestVerify(rig.core());
        QVERIFY(rig.runUntil([&] { return indicator(rig).startsWith(QStringLiteral("Processor changed")); }));
        QCOMPARE(indicator(rig), QStringLiteral("Processor changed 2 values"));
        QCOMPARE(int(rig.core().image.outputs[3].delay), 480);
        QCOMPARE(int(rig.core().image.inputs[2].peq[4].gain), 130);
        QVERIFY(rig.messages.isEmpty());
        QVERIFY(rig.modalsRun.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(indicator(rig), QStringLiteral("Synced"), SyncIndicator::kNoticeMs + 2000);
    }

    // A processor that never keeps output 2's gain: after the rounds of repair the indicator says so,
    // its list names the field with both values, and a store is refused with the field as its detail.
    void fieldsTheProcessorRefusesAreListedAndBlockAStore() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        const int before = rig.core().image.outputs[1].gain;
        stepOut2Gain(rig);
        const auto refusing = [&](const std::function<bool()>& done) {
            return rig.runUntil([&] {
                forceOut2Gain(sim, before);
                return done();
            });
        };
        QVERIFY(refusing([&] { return rig.core().verify.status == SyncStatus::Unconfirmed; }));
        AppRig::deliverPosted();
        QCOMPARE(indicator(rig), QStringLiteral("1 not confirmed"));

        QStringList row;
        rig.onModal = [&row](QDialog& d) {
            auto* list = qobject_cast<CUnconfirmedDlg*>(&d);
            if (!list) return int(QDialog::Rejected);
            for (int c = 0; c < list->table()->columnCount() && list->table()->rowCount() == 1; ++c)
                row << list->table()->item(0, c)->text();
            list->okButton()->click();
            return list->result();
        };
        QTest::mouseClick(rig.window().syncIndicator(), Qt::LeftButton);
        QCOMPARE(rig.modalsRun, QStringList{"velmar::CUnconfirmedDlg"});
        QCOMPARE(row, (QStringList{"Output", "out2", "gain", "0.0dB", "0.1dB"}));

        CMemorySave save(rig.state(), &rig.window());
        save.show();
        save.list()->selectRow(0);
        QTest::mouseClick(save.list()->viewport(), Qt::LeftButton, {},
                          save.list()->visualRect(save.list()->model()->index(0, 1)).center());
        save.okButton()->click();
        QVERIFY(refusing([&] { return !rig.messages.isEmpty(); }));
        QCOMPARE(rig.messageTexts(), QStringList{"Save failed"});
        QCOMPARE(rig.messages.first().detail,
                 QStringLiteral("out2 gain: processor 0.0dB, this computer 0.1dB"));
        QVERIFY(save.isVisible());
        QCOMPARE(sim.device.currentProgram(), uint8_t(0));
    }

    void periodicVerifyIsASwitchOfTheSystemMenu() {
        velmar::test::TestApp t;
        CVelmarDlg& w = t.window();
        QAction* item = w.action(CVelmarDlg::Command::PeriodicVerify);
        QVERIFY(item->isCheckable());
        QVERIFY(item->isChecked());
        QCOMPARE(item->text(), QStringLiteral("Periodic verify"));
        QCOMPARE(int(t.core().verify.settings.periodTicks), 300);
        item->trigger();
        QCOMPARE(int(t.core().verify.settings.periodTicks), 0);
        // The menus are built again for another language; the choice stays.
        w.SetLanguage(LanguageManager::kChinese);
        item = w.action(CVelmarDlg::Command::PeriodicVerify);
        QCOMPARE(item->text(), QStringLiteral("定时校验"));
        QVERIFY(!item->isChecked());
        item->trigger();
        QCOMPARE(int(t.core().verify.settings.periodTicks), 300);
        w.SetLanguage(LanguageManager::kEnglish);
    }

    void anImportNobodyAnswersSaysTheProcessorsSettingsAreShown() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        // Image writes are lost on the way; everything else arrives.
        const auto write = rig.core().hooks.writeFrame;
        rig.core().hooks.writeFrame = [write](const uint8_t* data, size_t size) {
            if (size > 5 && data[5] == 0xA7) return;
            write(data, size);
        };
        rig.core().image.outputs[0].gain = 200;
        QueueImageWrite(rig.core(), 0);
        QVERIFY(rig.runUntil([&] { return !rig.messages.isEmpty(); }, 20000));
        QCOMPARE(rig.messageTexts(), QStringList{"Import failed, the processor's settings are shown"});
        QCOMPARE(rig.messages.first().caption, QStringLiteral("Warning"));
        QVERIFY(rig.runUntil(
            [&] { return rig.core().image.outputs[0].gain == sim.device.image().outputs[0].gain; }));
        rig.runUntil([] { return false; }, 300);
        QCOMPARE(rig.messages.size(), 1);
    }

    // `velmar --demo --drop-frames F --corrupt-replies F`: the demo's processor loses frames and
    // replies, and the window still ends with the processor holding every edit.
    void theDemoWithLinkFaultsEndsSynced() {
        DemoSimulator demo;
        SimFaultConfig faults;
        faults.seed = 7;
        faults.dropFrames = 0.2;
        faults.corruptReplies = 0.1;
        demo.setFaults(faults);
        QVERIFY(demo.start());
        AppRig rig;
        demo.attach(rig.state(), rig.app().links());
        QVERIFY(rig.connectTcp(demo.tcpPort()));
        for (int i = 0; i < 4; ++i) stepOut2Gain(rig);
        const int edited = rig.core().image.outputs[1].gain;
        QVERIFY(rig.runUntil(
            [&] {
                return indicator(rig) == QStringLiteral("Synced") ||
                       indicator(rig).startsWith(QStringLiteral("Repaired"));
            },
            20000));
        QCOMPARE(int(demo.device().image().outputs[1].gain), edited);
    }
};

QTEST_MAIN(SyncIndicatorTest)
#include "SyncIndicatorTest.moc"
