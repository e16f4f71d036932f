// Renders the Home page in every configuration, the Gain and Delay pages with velmar-sim's meters
// moving, and every dialog of the program and system menus in both languages, for a person to judge.
#include "SysAppRig.h"

#include "controls/RenderOutput.h"
#include "ui/app/DeviceConfig.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/dialogs/MemoryLoad.h"
#include "ui/dialogs/MemorySave.h"
#include "ui/dialogs/SaveDlg.h"
#include "ui/dialogs/SysProgramList.h"
#include "ui/dialogs/SystemDlg.h"
#include "ui/pages/DelayDlg.h"
#include "ui/pages/GainDlg.h"
#include "ui/pages/HomeDlg.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/NumericEntry.h"

#include <QtTest>

#include <cstring>

using namespace velmar;
using namespace velmar::syspagestest;

namespace {

QImage renderDialog(QDialog& dialog) {
    dialog.adjustSize();
    dialog.show();
    QCoreApplication::processEvents();
    QImage image = dialog.grab().toImage();
    dialog.hide();
    return image;
}

const char* languageCode(int language) {
    return language ? "zh" : "en";
}

void selectTab(CVelmarDlg& window, int tab) {
    window.tabCtrl()->SetCurSel(tab);
    window.SelectTab(tab);
    QCoreApplication::processEvents();
}

} // namespace

class SysPagesRenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The look the application gives itself at start.
        CVelmarApp::ApplyLook(*qApp);
    }

    void homeInEveryConfiguration() {
        AppRig rig;
        CoreState& s = rig.core();
        const uint8_t routes[8] = {0x01, 0x02, 0x03, 0x0F, 0x04, 0x08, 0x0C, 0x00};
        for (int r = 0; r < 8; ++r) s.image.outputs[r].routeMask = routes[r];
        for (int language : {0, 1}) {
            QVERIFY(rig.window().SetLanguage(uint8_t(language)));
            for (int config = 3; config <= 7; ++config) {
                rig.window().SetDeviceConfig(config);
                // Outputs 1 and 2 linked, input B following A: the lists show it.
                rig.window().homePage()->OnLinkChosen(kKindOutput, 1, 0);
                rig.window().homePage()->OnLinkChosen(kKindInput, 1, 0);
                QCoreApplication::processEvents();
                const QImage image = rig.window().grab().toImage();
                QCOMPARE(image.size(), QSize(CVelmarDlg::kWidth, CVelmarDlg::kHeight));
                QVERIFY(test::saveRender(
                    image,
                    QStringLiteral("syspages-home-cfg%1-%2.png").arg(config).arg(languageCode(language))));
            }
        }
    }

    void gainAndDelayWithTheProcessorsMeters() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        sim.device.setProgrammeLevel(0, 4.0);
        sim.device.setProgrammeLevel(1, -12.0);
        sim.device.setProgrammeLevel(2, 19.0); // clips
        sim.device.setProgrammeLevel(3, -30.0);
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        CVelmarDlg& window = rig.window();
        // Some character, edited on the pages as a user would, so the processor's meters follow: the
        // inputs unmuted, input B inverted, a muted output, a few gains and delays.
        CGainDlg* gain = window.gainPage();
        for (int c = 0; c < 4; ++c)
            if (rig.core().image.inputs[c].soundOn == 0) gain->OnSoundClicked(c);
        gain->OnPolarityClicked(1);
        gain->OnSoundClicked(7);
        auto typeGain = [&](int column, const char* text) {
            gain->entry(column)->setText(QString::fromLatin1(text));
            gain->OnEntryLeft(column);
        };
        typeGain(0, "6");
        typeGain(10, "-18");
        typeGain(5, "-4.5");
        CDelayDlg* delay = window.delayPage();
        auto typeDelay = [&](int column, int unit, const char* text) {
            delay->entry(column, unit)->setText(QString::fromLatin1(text));
            delay->OnEntryLeft(column, unit);
        };
        typeDelay(6, 0, "434");
        typeDelay(9, 1, "3");
        typeDelay(1, 2, "12");
        for (int language : {0, 1}) {
            QVERIFY(window.SetLanguage(uint8_t(language)));
            selectTab(window, 1);
            // Heartbeats until the meters show the programme on the inputs and the outputs.
            QVERIFY(rig.runUntil([&] {
                gain->OnMeterTimer();
                return gain->meter(0)->LitCount() > 0 && gain->meter(2)->IsSegmentOn(14) &&
                       gain->meter(4)->LitCount() > 0;
            }));
            QVERIFY(
                test::saveRender(window.grab().toImage(),
                                 QStringLiteral("syspages-gain-meters-%1.png").arg(languageCode(language))));
            selectTab(window, 2);
            QVERIFY(test::saveRender(window.grab().toImage(),
                                     QStringLiteral("syspages-delay-%1.png").arg(languageCode(language))));
            selectTab(window, 0);
        }
        QVERIFY(test::saveRender(test::magnified(window.gainPage()->grab(QRect(0, 0, 380, 690)).toImage(), 2),
                                 QStringLiteral("syspages-gain-detail-2x.png")));
    }

    void everyDialogInBothLanguages() {
        AppRig rig;
        CoreState& s = rig.core();
        std::strcpy(s.programNames[3], "FRONT FILL");
        std::strcpy(s.programNames[12], "MAIN HALL 2");
        std::memcpy(s.system.bytes + 64, "VMP4x8  V1.20.4", 16);
        s.linkConnected = 1; // only to show the identification text
        for (int language : {0, 1}) {
            QVERIFY(rig.window().SetLanguage(uint8_t(language)));
            const QString code = QString::fromLatin1(languageCode(language));
            {
                CMemoryLoad load(rig.state(), &rig.window());
                load.show();
                const QRect r = load.list()->visualRect(load.list()->model()->index(2, 1));
                QTest::mouseClick(load.list()->viewport(), Qt::LeftButton, {}, r.center());
                QVERIFY(test::saveRender(renderDialog(load),
                                         QStringLiteral("syspages-dialog-load-%1.png").arg(code)));
            }
            {
                CMemorySave save(rig.state(), &rig.window());
                QVERIFY(test::saveRender(renderDialog(save),
                                         QStringLiteral("syspages-dialog-save-%1.png").arg(code)));
            }
            {
                CSaveDlg rename(rig.state(), &rig.window(), QStringLiteral("FRONT FILL"));
                QVERIFY(test::saveRender(renderDialog(rename),
                                         QStringLiteral("syspages-dialog-rename-%1.png").arg(code)));
            }
            {
                CSystemDlg configure(rig.state(), &rig.window());
                QVERIFY(test::saveRender(renderDialog(configure),
                                         QStringLiteral("syspages-dialog-configure-%1.png").arg(code)));
            }
            rig.window().SetDeviceConfig(3);
            {
                CSystemDlg configure(rig.state(), &rig.window());
                QVERIFY(test::saveRender(renderDialog(configure),
                                         QStringLiteral("syspages-dialog-configure-cfg3-%1.png").arg(code)));
            }
            rig.window().SetDeviceConfig(7);
        }
        s.linkConnected = 0;
    }
};

QTEST_MAIN(SysPagesRenderTest)
#include "SysPagesRenderTest.moc"
