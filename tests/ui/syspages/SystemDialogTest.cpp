// The system configuration dialog: channel counts per configuration, the gate lists, the channel copy
// and its messages in both language settings, the identification text.
#include "SysAppRig.h"
#include "SysPagesHarness.h"

#include "ui/app/LanguageManager.h"
#include "ui/dialogs/SystemDlg.h"
#include "ui/pages/SysComboBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace velmar;
using namespace velmar::syspagestest;

class SystemDialogTest : public QObject {
    Q_OBJECT

private slots:
    void listsOfferTheChannelsOfTheConfiguration_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::newRow("3") << 3 << 2 << 4;
        QTest::newRow("4") << 4 << 2 << 6;
        QTest::newRow("5") << 5 << 3 << 6;
        QTest::newRow("6") << 6 << 4 << 6;
        QTest::newRow("7") << 7 << 4 << 8;
    }
    void listsOfferTheChannelsOfTheConfiguration() {
        QFETCH(int, config);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        Harness h;
        h.core().deviceConfig = uint8_t(config);
        CSystemDlg dialog(h.app, nullptr);
        dialog.show();
        for (SysComboBox* list : {dialog.inputSourceList(), dialog.inputTargetList()}) {
            QCOMPARE(list->count(), inputs);
            QCOMPARE(list->itemText(0), QStringLiteral("In A"));
            QCOMPARE(list->itemText(inputs - 1), QStringLiteral("In %1").arg(QChar('A' + inputs - 1)));
        }
        for (SysComboBox* list : {dialog.outputSourceList(), dialog.outputTargetList()}) {
            QCOMPARE(list->count(), outputs);
            QCOMPARE(list->itemText(outputs - 1), QStringLiteral("Out %1").arg(outputs));
        }
        QCOMPARE(dialog.inputSourceList()->currentIndex(), 0);
        QCOMPARE(dialog.inputTargetList()->currentIndex(), 1);
        QCOMPARE(dialog.outputSourceList()->currentIndex(), 0);
        QCOMPARE(dialog.outputTargetList()->currentIndex(), 1);
        // The gates of the inputs the configuration has; the three-input unit has no gate D either.
        for (int c = 0; c < 4; ++c) {
            const bool shown = c < inputs;
            QCOMPARE(dialog.gateList(c)->isVisible(), shown);
            QCOMPARE(dialog.gateLabel(c)->isVisible(), shown);
        }
    }

    void gateListsHoldTheHundredAndTwentyOneThresholds() {
        Harness h;
        h.core().image.inputs[2].gateThreshold = 40;
        CSystemDlg dialog(h.app, nullptr);
        SysComboBox* gate = dialog.gateList(2);
        QCOMPARE(gate->count(), 121);
        QCOMPARE(gate->itemText(0), QStringLiteral("0dB"));
        QCOMPARE(gate->itemText(1), QStringLiteral("-1dB"));
        QCOMPARE(gate->itemText(120), QStringLiteral("-120dB"));
        QCOMPARE(gate->currentText(), QStringLiteral("-80dB"));
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off); // filling the lists sends nothing
    }

    void choosingAThresholdSendsUnitOneOfThatInputOnly() {
        Harness h;
        h.connectLink();
        CoreState& s = h.core();
        s.image.inputs[2].gateThreshold = 40;
        s.inputLinkGroup[3] = 2; // input D follows input C: the gate does not
        s.image.inputs[3].gateThreshold = 40;
        CSystemDlg dialog(h.app, nullptr);
        dialog.gateList(2)->setCurrentIndex(0); // "0dB"
        QCOMPARE(int(s.image.inputs[2].gateThreshold), 120);
        QCOMPARE(int(s.image.inputs[3].gateThreshold), 40);
        QCOMPARE(s.dirty.input[3][1], uint8_t(0));
        const std::vector<Bytes> sent = h.tick();
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(hexText(Bytes(sent[0].begin() + 5, sent[0].begin() + 12)),
                 QStringLiteral("A1 01 00 02 01 08 00"));
        QCOMPARE(int(sent[0][12 + 6]), 120);
    }

    void copyingAnOutputKeepsTheTargetsRoutingAndWritesOnlyTheTarget() {
        Harness h;
        h.connectLink();
        CoreState& s = h.core();
        s.image.outputs[0].routeMask = 0x01;
        s.image.outputs[0].lpfFreq = 5000;
        s.image.outputs[0].gain = 420;
        s.image.outputs[1].routeMask = 0x0C;
        s.outputLinkGroup[2] = 1; // output 3 follows output 2: the copy does not reach it
        const int16_t thirdGain = s.image.outputs[2].gain;
        CSystemDlg dialog(h.app, nullptr);
        dialog.outputCopyButton()->click();
        QCOMPARE(int(s.image.outputs[1].routeMask), 0x0C);
        QCOMPARE(int(s.image.outputs[1].lpfFreq), 5000);
        QCOMPARE(int(s.image.outputs[1].gain), 420);
        QCOMPARE(s.image.outputs[2].gain, thirdGain);
        QCOMPARE(s.dirty.output[2][1], uint8_t(0));
        QCOMPARE(h.posts, (std::vector<PostedMessage>{{kMsgRefresh, 0, 255}}));
        QCOMPARE(h.messageTexts(), QStringList{"Output Channel Copy successful"});
        QCOMPARE(h.messages.first().caption, QStringLiteral("Warning"));
        const std::vector<Bytes> sent = h.tick(5);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(hexText(Bytes(sent[0].begin() + 5, sent[0].begin() + 12)),
                 QStringLiteral("A3 04 00 01 00 78 00"));
    }

    void copyingAnInputTakesTheWholeBlockAndRebuildsTheCurves() {
        Harness h;
        h.connectLink();
        CoreState& s = h.core();
        s.image.inputs[0].peq[4].gain = 260;
        s.image.inputs[0].geq[9] = 150;
        CSystemDlg dialog(h.app, nullptr);
        dialog.inputCopyButton()->click();
        QCOMPARE(int(s.image.inputs[1].peq[4].gain), 260);
        QCOMPARE(int(s.image.inputs[1].geq[9]), 150);
        QCOMPARE(int(inputEqCurves[1].Records().bands[4].gain), 260);
        QCOMPARE(h.messageTexts(), QStringList{"Input Channel Copy successful"});
    }

    void copyingAChannelOntoItselfDoesNothing() {
        Harness h;
        h.connectLink();
        CSystemDlg dialog(h.app, nullptr);
        dialog.inputTargetList()->setCurrentIndex(0);
        dialog.inputCopyButton()->click();
        QVERIFY(h.messages.isEmpty());
        QVERIFY(h.posts.empty());
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off);
    }

    void copyMessagesAreEnglishInBothLanguages_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Chinese") << 1;
    }
    void copyMessagesAreEnglishInBothLanguages() {
        QFETCH(int, language);
        AppRig rig;
        QVERIFY(rig.window().SetLanguage(uint8_t(language)));
        CSystemDlg dialog(rig.state(), &rig.window());
        QCOMPARE(dialog.windowTitle(), language ? QStringLiteral("配置") : QStringLiteral("Configure"));
        dialog.OnInputCopy();
        dialog.OnOutputCopy();
        AppRig::deliverPosted();
        QCOMPARE(rig.messageTexts(),
                 (QStringList{"Input Channel Copy successful", "Output Channel Copy successful"}));
        for (const UiMessage& m : rig.messages) QCOMPARE(m.caption, QStringLiteral("Warning"));
    }

    void textsFollowTheLanguage() {
        Harness h;
        {
            CSystemDlg dialog(h.app, nullptr);
            QCOMPARE(dialog.copyGroup()->title(), QStringLiteral("Channel Copy"));
            QCOMPARE(dialog.gateGroup()->title(), QStringLiteral("NoiseGate"));
            QCOMPARE(dialog.gateLabel(0)->text(), QStringLiteral("  IN A"));
            QCOMPARE(dialog.inputCopyButton()->text(), QStringLiteral("OK"));
        }
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        CSystemDlg dialog(h.app, nullptr);
        QCOMPARE(dialog.copyGroup()->title(), QStringLiteral("通道拷贝"));
        QCOMPARE(dialog.gateGroup()->title(), QStringLiteral("噪声门"));
        QCOMPARE(dialog.gateLabel(3)->text(), QStringLiteral("输入D"));
        QCOMPARE(dialog.outputCopyButton()->text(), QStringLiteral("确认"));
        QCOMPARE(dialog.inputSourceList()->itemText(0), QStringLiteral("In A")); // the same items
    }

    void theIdentificationShowsOnlyWhileConnected() {
        Harness h;
        std::memcpy(h.core().system.bytes + 64, "VMP4x8  V1.20.4", 16);
        {
            CSystemDlg dialog(h.app, nullptr);
            dialog.show();
            QVERIFY(!dialog.identification()->isVisible());
        }
        h.connectLink();
        CSystemDlg dialog(h.app, nullptr);
        dialog.show();
        QVERIFY(dialog.identification()->isVisible());
        QCOMPARE(dialog.identification()->text(), QStringLiteral("VMP4x8  V1.20.4"));
    }

    void theIdentificationNeverRunsPastItsSixteenBytes() {
        SystemBlock system{};
        std::memcpy(system.bytes + 64, "ABCDEFGHIJKLMNOP", 16); // no closing zero
        QCOMPARE(CSystemDlg::identificationText(system), QStringLiteral("ABCDEFGHIJKLMNOP"));
        system.bytes[70] = 0;
        QCOMPARE(CSystemDlg::identificationText(system), QStringLiteral("ABCDEF"));
        system.bytes[64] = 0x07;
        QCOMPARE(CSystemDlg::identificationText(system).size(), 6);
    }

    void enterAndEscapeDoNotCloseTheDialog() {
        Harness h;
        CSystemDlg dialog(h.app, nullptr);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.inputCopyButton()->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(dialog.inputCopyButton(), key);
        QVERIFY(dialog.isVisible());
        QVERIFY(h.messages.isEmpty());
    }
};

QTEST_MAIN(SystemDialogTest)
#include "SystemDialogTest.moc"
