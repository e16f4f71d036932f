// The Home page: routing matrix and its frame, navigation, link groups and their rule, hiding by
// configuration, texts in both languages.
#include "SysAppRig.h"
#include "SysPagesHarness.h"

#include "core/ChannelLink.h"
#include "ui/app/LanguageManager.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/HomeDlg.h"
#include "ui/pages/SysBlockButton.h"
#include "ui/pages/SysComboBox.h"
#include "ui/pages/SysLinkGroups.h"

#include <QLabel>
#include <QtTest>

#include <cstring>

using namespace velmar;
using namespace velmar::syspagestest;
using Block = CHomeDlg::Block;

namespace {

// Unit 1 of an output with known bytes: sound on, polarity normal, 0 dB, no delay, routeMask.
void setUnit1(OutputBlock& out, uint8_t routeMask) {
    out.soundOn = 1;
    out.polarity = 1;
    out.gain = 360;
    out.delay = 0;
    out.routeMask = routeMask;
    out.spare = 0;
}

const uint8_t* bytesOf(const OutputBlock& b) {
    return reinterpret_cast<const uint8_t*>(&b);
}

} // namespace

class HomePageTest : public QObject {
    Q_OBJECT

private slots:
    void matrixButtonFlipsOneBitAndSendsParameterOneOfItsOutput() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        h.connectLink();
        setUnit1(h.core().image.outputs[2], 0x0F);
        page.RefreshPage();
        QCOMPARE(page.matrixBitmap(2, 1), 430); // green B

        page.matrixButton(2, 1)->click();
        QCOMPARE(h.core().image.outputs[2].routeMask, uint8_t(0x0D));
        QCOMPARE(page.matrixBitmap(2, 1), 426); // grey B
        QCOMPARE(page.matrixBitmap(2, 0), 429); // A untouched
        QCOMPARE(h.tick(), std::vector<Bytes>{hex("5A 5A 5A 01 53 A1 04 00 02 01 0800 "
                                                  "01 01 6801 0000 0D 00 C2 AA")});

        page.matrixButton(2, 1)->click();
        QCOMPARE(h.core().image.outputs[2].routeMask, uint8_t(0x0F));
        QCOMPARE(page.matrixBitmap(2, 1), 430);
        QCOMPARE(h.tick(), std::vector<Bytes>{hex("5A 5A 5A 01 53 A1 04 00 02 01 0800 "
                                                  "01 01 6801 0000 0F 00 C0 AA")});
    }

    void routingIsNeverPropagatedToLinkedOutputs() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        h.connectLink();
        h.core().outputLinkGroup[1] = 0;
        h.core().image.outputs[0].routeMask = 0x01;
        h.core().image.outputs[1].routeMask = 0x01;
        page.OnMatrixClicked(0, 3);
        QCOMPARE(h.core().image.outputs[0].routeMask, uint8_t(0x09));
        QCOMPARE(h.core().image.outputs[1].routeMask, uint8_t(0x01));
        QCOMPARE(h.core().dirty.output[1][1], uint8_t(0));
    }

    void blockButtonsPostTheTabOfTheirPage_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<bool>("input");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("tab");
        const int mute = int(Block::Mute), gain = int(Block::Gain), peq = int(Block::Peq),
                  delay = int(Block::Delay), xover = int(Block::XOver), comp = int(Block::Comp);
        for (int config : {3, 5, 7}) {
            const QByteArray c = QByteArray::number(config);
            QTest::newRow(c + " input mute") << config << true << 1 << mute << 1;
            QTest::newRow(c + " output mute") << config << false << 3 << mute << 1;
            QTest::newRow(c + " input gain") << config << true << 0 << gain << 1;
            QTest::newRow(c + " output gain") << config << false << 0 << gain << 1;
            QTest::newRow(c + " input delay") << config << true << 1 << delay << 2;
            QTest::newRow(c + " output delay") << config << false << 2 << delay << 2;
        }
        QTest::newRow("3 PEQ of input A") << 3 << true << 0 << peq << 5;
        QTest::newRow("3 PEQ of input B") << 3 << true << 1 << peq << 6;
        QTest::newRow("3 X-Over of output 1") << 3 << false << 0 << xover << 7;
        QTest::newRow("3 Comp. of output 4") << 3 << false << 3 << comp << 10;
        QTest::newRow("5 PEQ of input C") << 5 << true << 2 << peq << 9;
        QTest::newRow("5 X-Over of output 1") << 5 << false << 0 << xover << 10;
        QTest::newRow("5 PEQ of output 6") << 5 << false << 5 << peq << 15;
        QTest::newRow("7 PEQ of input D") << 7 << true << 3 << peq << 10;
        QTest::newRow("7 X-Over of output 1") << 7 << false << 0 << xover << 11;
        QTest::newRow("7 Comp. of output 8") << 7 << false << 7 << comp << 18;
    }
    void blockButtonsPostTheTabOfTheirPage() {
        QFETCH(int, config);
        QFETCH(bool, input);
        QFETCH(int, channel);
        QFETCH(int, block);
        QFETCH(int, tab);
        Harness h;
        h.core().deviceConfig = uint8_t(config);
        CHomeDlg page(h.app, nullptr);
        page.blockButton(input, channel, Block(block))->click();
        QCOMPARE(h.posts, (std::vector<PostedMessage>{{kMsgSelectTab, 0, uint32_t(tab)}}));
        // The Mute buttons only navigate: the mute switch is on the Gain page.
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off);
    }

    void aThreeInputProcessorGetsItsHomePageAndItsTabs() {
        SimProcessor sim(SimModel::In3Out6);
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        rig.window().show();
        QVERIFY(rig.connectTcp(sim.port()));
        CVelmarDlg& window = rig.window();
        QCOMPARE(int(rig.core().deviceConfig), 5);
        CHomeDlg* home = window.homePage();
        QCOMPARE(window.visiblePage(), static_cast<PageBase*>(home));
        QVERIFY(home->caption(kKindInput, 2)->isVisible());
        QVERIFY(!home->caption(kKindInput, 3)->isVisible());
        QVERIFY(!home->matrixButton(5, 3)->isVisible());
        QVERIFY(!home->caption(kKindOutput, 6)->isVisible());
        // PEQ of input C opens input C's page; X-Over of output 1 output 1's page.
        home->blockButton(true, 2, Block::Peq)->click();
        AppRig::deliverPosted();
        QCOMPARE(rig.state().currentTab, 9);
        QCOMPARE(int(rig.state().currentChannel), 2);
        QCOMPARE(rig.state().channelPageKind, 1);
        window.tabCtrl()->SetCurSel(0);
        window.SelectTab(0);
        home->blockButton(false, 0, Block::XOver)->click();
        AppRig::deliverPosted();
        QCOMPARE(rig.state().currentTab, 10);
        QCOMPARE(rig.state().channelPageKind, 4);
        QCOMPARE(int(rig.state().currentChannel), 0);
        // A routing change reaches the processor.
        window.SelectTab(0);
        const uint8_t before = sim.device.image().outputs[4].routeMask;
        home->OnMatrixClicked(4, 2);
        QVERIFY(rig.runUntil([&] { return sim.device.image().outputs[4].routeMask == (before ^ 0x04); }));
    }

    void joiningAGroupTakesTheLeadersBlockButKeepsTheRouting() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        h.connectLink();
        CoreState& s = h.core();
        OutputBlock& leader = s.image.outputs[0];
        leader.routeMask = 0x01;
        leader.peq[2].gain = 320;
        leader.compThreshold = 12;
        s.image.outputs[1].routeMask = 0x06;
        const OutputBlock before = s.image.outputs[1];

        page.linkList(kKindOutput, 1)->setCurrentIndex(0); // "LINK 1" in output 2's list
        QCOMPARE(s.outputLinkGroup[1], uint8_t(0));
        const OutputBlock& joined = s.image.outputs[1];
        QCOMPARE(joined.routeMask, uint8_t(0x06));
        QVERIFY(std::memcmp(bytesOf(joined), bytesOf(before), 8) == 0); // the name stays
        for (size_t i = 8; i < sizeof(OutputBlock); ++i) {
            if (i == offsetof(OutputBlock, routeMask)) continue;
            QCOMPARE(bytesOf(joined)[i], bytesOf(leader)[i]);
        }
        QCOMPARE(h.curveRebuilds, (std::vector<std::pair<uint8_t, int>>{{kKindOutput, 1}}));
        QCOMPARE(outputEqCurves[1].Records().bands[2].gain, int16_t(320));

        // One block write of output 2, waiting for its answer.
        const std::vector<Bytes> sent = h.tick(5);
        QCOMPARE(sent.size(), size_t(1));
        const Bytes& frame = sent.front();
        QCOMPARE(hexText(Bytes(frame.begin(), frame.begin() + 12)),
                 QStringLiteral("5A 5A 5A 01 53 A3 04 00 01 00 78 00"));
        QVERIFY(std::memcmp(frame.data() + 12, bytesOf(joined), sizeof(OutputBlock)) == 0);
    }

    void choosingTheOwnGroupAgainOnlyUnlinks() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        h.connectLink();
        CoreState& s = h.core();
        s.image.inputs[0].gain = 100;
        s.image.inputs[1].gain = 400;
        page.linkList(kKindInput, 1)->setCurrentIndex(0); // input B joins "LINK A"
        QCOMPARE(s.inputLinkGroup[1], uint8_t(0));
        QCOMPARE(s.image.inputs[1].gain, int16_t(100));
        h.tick(); // the block write of input B goes out
        s.image.inputs[1].gain = 250;
        page.linkList(kKindInput, 1)->setCurrentIndex(1); // "LINK B" again
        QCOMPARE(s.inputLinkGroup[1], uint8_t(1));
        QCOMPARE(s.image.inputs[1].gain, int16_t(250));
        QCOMPARE(h.curveRebuilds.size(), size_t(1));
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::BlockWrite); // still the join's write, nothing new
    }

    void aChannelCannotJoinAGroupWhoseLeaderMovedAway() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        CoreState& s = h.core();
        // Input B joins A: B's own group can no longer be joined by C.
        page.linkList(kKindInput, 1)->setCurrentIndex(0);
        SysComboBox* c = page.linkList(kKindInput, 2);
        QVERIFY(c->isItemEnabled(0));
        QVERIFY(!c->isItemEnabled(1));
        QVERIFY(c->isItemEnabled(2)); // its own, always
        QVERIFY(!syslinks::selectable(s, kKindInput, 2, 1));
        s.image.inputs[2].gain = 111;
        page.OnLinkChosen(kKindInput, 2, 1);
        QCOMPARE(s.inputLinkGroup[2], uint8_t(2));
        QCOMPARE(s.image.inputs[2].gain, int16_t(111));
        QCOMPARE(c->currentIndex(), 2);
    }

    void aLeaderThatLeavesHandsItsGroupToItsLowestMember() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        CoreState& s = h.core();
        // Outputs 2, 4 and 6 follow output 1; then output 1 joins output 8.
        for (int member : {1, 3, 5}) page.OnLinkChosen(kKindOutput, member, 0);
        s.image.outputs[1].gain = 200;
        s.image.outputs[7].gain = 470;
        h.curveRebuilds.clear();
        page.OnLinkChosen(kKindOutput, 0, 7);
        QCOMPARE(s.outputLinkGroup[0], uint8_t(7));
        QCOMPARE(s.image.outputs[0].gain, int16_t(470));
        for (int member : {1, 3, 5}) QCOMPARE(s.outputLinkGroup[member], uint8_t(1));
        QCOMPARE(s.image.outputs[1].gain, int16_t(200)); // members keep their settings
        QCOMPARE(h.curveRebuilds, (std::vector<std::pair<uint8_t, int>>{{kKindOutput, 0}}));
        QCOMPARE(page.linkList(kKindOutput, 3)->currentText(), QStringLiteral("LINK 2"));
        // Every group in use is led by the channel it is named after.
        for (int c = 0; c < kOutputCount; ++c) {
            const int g = s.outputLinkGroup[c];
            QCOMPARE(int(s.outputLinkGroup[g]), g);
        }
    }

    void linkListsOfferTheChannelsOfTheConfiguration_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::newRow("3") << 3 << 2 << 4;
        QTest::newRow("4") << 4 << 2 << 6;
        QTest::newRow("5") << 5 << 3 << 6;
        QTest::newRow("6") << 6 << 4 << 6;
        QTest::newRow("7") << 7 << 4 << 8;
    }
    void linkListsOfferTheChannelsOfTheConfiguration() {
        QFETCH(int, config);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        Harness h;
        h.core().deviceConfig = uint8_t(config);
        CHomeDlg page(h.app, nullptr);
        QCOMPARE(page.linkList(kKindInput, 0)->count(), inputs);
        QCOMPARE(page.linkList(kKindOutput, 0)->count(), outputs);
        QCOMPARE(page.linkList(kKindInput, 0)->itemText(inputs - 1),
                 QStringLiteral("LINK %1").arg(QChar('A' + inputs - 1)));
        QCOMPARE(page.linkList(kKindOutput, 0)->itemText(outputs - 1),
                 QStringLiteral("LINK %1").arg(outputs));
        QCOMPARE(page.linkList(kKindOutput, 1)->currentIndex(), 1);
    }

    void aGroupBeyondTheConfigurationStillShowsInItsList() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        page.OnLinkChosen(kKindOutput, 1, 6); // output 2 follows output 7 in configuration 7
        h.core().deviceConfig = 4;
        page.RefreshPage();
        SysComboBox* list = page.linkList(kKindOutput, 1);
        QCOMPARE(list->count(), 7);
        QCOMPARE(list->currentText(), QStringLiteral("LINK 7"));
    }

    void hidingFollowsTheConfiguration_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::newRow("3: 2 in 4 out") << 3 << 2 << 4;
        QTest::newRow("4: 2 in 6 out") << 4 << 2 << 6;
        QTest::newRow("5: 3 in 6 out") << 5 << 3 << 6;
        QTest::newRow("6: 4 in 6 out") << 6 << 4 << 6;
        QTest::newRow("7: 4 in 8 out") << 7 << 4 << 8;
    }
    void hidingFollowsTheConfiguration() {
        QFETCH(int, config);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        Harness h;
        QWidget window;
        CHomeDlg page(h.app, &window);
        window.show();
        // From the largest configuration down, as the Device menu would go.
        h.core().deviceConfig = 7;
        page.RefreshPage();
        h.core().deviceConfig = uint8_t(config);
        page.RefreshPage();
        for (int k = 0; k < kInputCount; ++k) {
            const bool shown = k < inputs;
            QCOMPARE(page.caption(kKindInput, k)->isVisible(), shown);
            QCOMPARE(page.linkList(kKindInput, k)->isVisible(), shown);
            for (Block b : {Block::Mute, Block::Gain, Block::Peq, Block::Delay})
                QCOMPARE(page.blockButton(true, k, b)->isVisible(), shown);
        }
        for (int r = 0; r < kOutputCount; ++r) {
            const bool shown = r < outputs;
            QCOMPARE(page.caption(kKindOutput, r)->isVisible(), shown);
            QCOMPARE(page.linkList(kKindOutput, r)->isVisible(), shown);
            for (Block b : {Block::Gain, Block::XOver, Block::Peq, Block::Comp, Block::Delay, Block::Mute})
                QCOMPARE(page.blockButton(false, r, b)->isVisible(), shown);
            for (int t = 0; t < kInputCount; ++t)
                QCOMPARE(page.matrixButton(r, t)->isVisible(), shown && t < inputs);
        }
        // And back: everything shows again.
        h.core().deviceConfig = 7;
        page.RefreshPage();
        QVERIFY(page.matrixButton(7, 3)->isVisible());
        QVERIFY(page.caption(kKindInput, 3)->isVisible());
    }

    void textsFollowTheLanguage() {
        Harness h;
        CHomeDlg page(h.app, nullptr);
        QCOMPARE(page.caption(kKindInput, 0)->text(), QStringLiteral("In A"));
        QCOMPARE(page.caption(kKindOutput, 7)->text(), QStringLiteral("Out 8"));
        QCOMPARE(page.blockButton(false, 0, Block::XOver)->text(), QStringLiteral("X-Over"));
        QCOMPARE(page.blockButton(false, 0, Block::Comp)->text(), QStringLiteral("Comp."));
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        h.core().languageFlag = 1;
        page.RefreshPage();
        QCOMPARE(page.caption(kKindInput, 3)->text(), QStringLiteral("输入D"));
        QCOMPARE(page.caption(kKindOutput, 0)->text(), QStringLiteral("输出 1"));
        const QStringList expected = {"静音", "增益", "均衡", "延时", "带通", "压缩"};
        const Block blocks[] = {Block::Mute,  Block::Gain,  Block::Peq,
                                Block::Delay, Block::XOver, Block::Comp};
        for (int i = 0; i < 6; ++i) QCOMPARE(page.blockButton(false, 2, blocks[i])->text(), expected.at(i));
        QCOMPARE(page.blockButton(true, 1, Block::Mute)->text(), QStringLiteral("静音"));
        QCOMPARE(page.linkList(kKindInput, 0)->itemText(0), QStringLiteral("LINK A"));
    }

    void aWheelPassingOverALinkListChangesNothing() {
        Harness h;
        QWidget window;
        CHomeDlg page(h.app, &window);
        window.show();
        SysComboBox* list = page.linkList(kKindOutput, 3);
        QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
        QCOMPARE(list->currentIndex(), 3);
        QCOMPARE(h.core().outputLinkGroup[3], uint8_t(3));
    }
};

QTEST_MAIN(HomePageTest)
#include "HomePageTest.moc"
