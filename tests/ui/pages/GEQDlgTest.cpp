// The Graphic EQ page: faders and their scale, the band step with its write and link propagation,
// GEQ RESET and GEQ BYPASS and the bypass state they share with the Input page.
#include "pages/PageTestSupport.h"

#include "core/ValueScales.h"
#include "ui/app/LanguageManager.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/InputDlg.h"

#include <QLabel>

using namespace velmar;
using namespace velmar::test;

namespace {

struct GeqPage {
    PageRig rig;
    CGEQDlg* page = nullptr;

    explicit GeqPage(int channel = 0) {
        rig.app->currentChannel = uint8_t(channel);
        page = new CGEQDlg(*rig.app, &rig.host);
        page->setGeometry(0, 0, 1084, 351);
        rig.Show();
        page->Refresh();
    }
    InputBlock& In() { return rig.image().inputs[page->ShownChannel()]; }
    void Show(int channel) {
        rig.app->currentChannel = uint8_t(channel);
        page->Refresh();
    }
};

std::vector<SentFrame> BlockWrites(const std::vector<SentFrame>& writes) {
    std::vector<SentFrame> blocks;
    for (const SentFrame& w : writes)
        if (w.command == kCmdBlockWrite) blocks.push_back(w);
    return blocks;
}

} // namespace

class GEQDlgTest : public QObject {
    Q_OBJECT

private slots:
    void theFadersAreLabelledWithTheBandCentres() {
        GeqPage p;
        const char* expected[kGeqBandCount] = {"20",  "25",  "32",  "40",  "50",  "63",  "80",  "100",
                                               "125", "160", "200", "250", "315", "400", "500", "630",
                                               "800", "1K",  "1K3", "1K6", "2K",  "2K5", "3K1", "4K",
                                               "5K",  "6K3", "8K",  "10K", "13K", "16K", "18K"};
        for (int b = 0; b < kGeqBandCount; ++b) {
            QCOMPARE(p.page->BandLabel(b)->text(), QString::fromLatin1(expected[b]));
            QCOMPARE(p.page->Fader(b)->GetRangeMax(), 400);
            // The label stands over its own fader.
            QCOMPARE(p.page->BandLabel(b)->geometry().center().x() / 2,
                     p.page->Fader(b)->geometry().center().x() / 2);
        }
    }

    void zeroDbSitsInTheMiddleOfTheTrack() {
        GeqPage p;
        CBitmapSlider* f = p.page->Fader(10);
        QCOMPARE(f->size(), QSize(30, 264));
        QCOMPARE(f->travelStart(), 10);
        QCOMPARE(f->travelLength(), 242);
        QCOMPARE(f->pixelForPosition(f->GetPos()), 131); // raw 200, 0 dB
        QCOMPARE(p.page->ValueLabel(10)->text(), QStringLiteral("0.0"));
    }

    void movingABandFaderToTheTopStoresAndQueuesItsWord() {
        // Band 17 (1 kHz) of input B to the top: word 400, parameter index 29 of input B.
        GeqPage p(1);
        p.rig.ClearFrames();
        DragFaderTo(p.page->Fader(17), 400);
        QCOMPARE(int(p.In().geq[17]), 400);
        QCOMPARE(p.page->ValueLabel(17)->text(), QStringLiteral("20.0"));
        QCOMPARE(int(inputGeqCurves[1].Records().bands[17].gain), 400);
        QVERIFY(!inputGeqCurves[1].Filter(17).Flat());
        const std::vector<SentFrame> writes = p.rig.Flush();
        QVERIFY(!writes.empty());
        for (const SentFrame& w : writes) {
            QCOMPARE(w.command, kCmdParamWrite);
            QCOMPARE(int(w.p1), int(kKindInput));
            QCOMPARE(int(w.p3), 1);
            QCOMPARE(int(w.p4), 29);
            QCOMPARE(w.payload.size(), size_t(2));
        }
        QCOMPARE(writes.back().Word(0), int16_t(400));
    }

    void aBandChangeOnALinkedInputMarksTheOtherAndCopiesTheWord() {
        GeqPage p(0);
        p.rig.core().inputLinkGroup[2] = 0; // C in A's group
        p.rig.ClearFrames();
        DragFaderTo(p.page->Fader(4), 260);
        const int moved = p.In().geq[4]; // the nearest value the thumb's pixel gives
        QVERIFY(std::abs(moved - 260) <= 2);
        QCOMPARE(int(p.rig.image().inputs[2].geq[4]), moved);
        QCOMPARE(int(p.rig.image().inputs[1].geq[4]), 200);
        QCOMPARE(int(p.rig.core().dirty.input[2][16]), 1);
        // C's curves are rebuilt only when C is shown.
        QCOMPARE(int(inputGeqCurves[2].Records().bands[4].gain), 200);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QVERIFY(writes.size() >= 2);
        QCOMPARE(int(writes.back().p3), 2);
        QCOMPARE(int(writes.back().p4), 16);
        p.Show(2);
        QCOMPARE(int(inputGeqCurves[2].Records().bands[4].gain), moved);
        QCOMPARE(p.page->Fader(4)->GetRangeMax() - p.page->Fader(4)->GetPos(), moved);

        // A reset on A copies A's whole block to C.
        p.Show(0);
        p.rig.image().inputs[2].peq[1].freq = 777;
        Click(p.page->ResetButton());
        QCOMPARE(int(p.rig.image().inputs[2].peq[1].freq), 50);
        QCOMPARE(int(p.rig.image().inputs[2].geq[4]), 200);
        QCOMPARE(int(p.rig.core().dirty.block[2]), 1);
        const std::vector<SentFrame> blocks = BlockWrites(p.rig.Flush());
        QCOMPARE(blocks.size(), size_t(2));
        QCOMPARE(int(blocks[0].p3), 0);
        QCOMPARE(int(blocks[1].p3), 2);
    }

    void bypassPressedTwiceRestoresEveryGainAndWordAndQueuesTwoBlocks() {
        GeqPage p(3);
        InputBlock& in = p.In();
        for (int w = 0; w < kGeqWordCount; ++w) in.geq[w] = int16_t(50 + 10 * w);
        for (int r = 0; r < kBandCount; ++r) in.peq[r].gain = int16_t(300 - 9 * r);
        p.page->Refresh();
        const InputBlock before = in;
        p.rig.ClearFrames();

        Click(p.page->BypassButton());
        QVERIFY(p.page->BypassButton()->isChecked());
        for (int w = 0; w < kGeqWordCount; ++w) QCOMPARE(int(in.geq[w]), 200); // geq[31] too
        for (int r = 0; r < kBandCount; ++r) QCOMPARE(int(in.peq[r].gain), 200);
        QCOMPARE(p.page->Fader(0)->GetRangeMax() - p.page->Fader(0)->GetPos(), 200);
        QVERIFY(inputGeqCurves[3].Filter(30).Flat());
        QCOMPARE(BlockWrites(p.rig.Flush()).size(), size_t(1));

        Click(p.page->BypassButton());
        QVERIFY(!p.page->BypassButton()->isChecked());
        QVERIFY(std::memcmp(&in, &before, sizeof in) == 0); // geq[31] restored as well
        QCOMPARE(p.page->Fader(30)->GetRangeMax() - p.page->Fader(30)->GetPos(), int(before.geq[30]));
        const std::vector<SentFrame> blocks = BlockWrites(p.rig.Flush());
        QCOMPARE(blocks.size(), size_t(1));
        QVERIFY(std::memcmp(blocks[0].payload.data(), &before, sizeof before) == 0);
    }

    void aFaderMovedWhileBypassedIsOverwrittenByTheNextPress() {
        GeqPage p;
        p.In().geq[8] = 280;
        p.page->Refresh();
        Click(p.page->BypassButton());
        DragFaderTo(p.page->Fader(8), 120);
        QVERIFY(std::abs(p.In().geq[8] - 120) <= 2);
        Click(p.page->BypassButton());
        QCOMPARE(int(p.In().geq[8]), 280);
    }

    void resetWhileBypassedClearsTheFlagAndALaterBypassSavesTheResetValues() {
        GeqPage p;
        p.In().geq[2] = 390;
        p.In().peq[0].gain = 390;
        p.page->Refresh();
        Click(p.page->BypassButton());
        Click(p.page->ResetButton());
        QCOMPARE(int(p.rig.app->eqBypass.inputEqBypassed[0]), 0);
        QVERIFY(!p.page->BypassButton()->isChecked());
        Click(p.page->BypassButton());
        Click(p.page->BypassButton());
        QCOMPARE(int(p.In().geq[2]), 200);
        QCOMPARE(int(p.In().peq[0].gain), 200);
    }

    void geqWord31HasNoFaderAndNoFaderChangesIt() {
        GeqPage p;
        p.In().geq[31] = 123; // carried only
        p.page->Refresh();
        for (int b = 0; b < kGeqBandCount; ++b) DragFaderTo(p.page->Fader(b), 300);
        QCOMPARE(int(p.In().geq[31]), 123);
        QCOMPARE(p.page->findChildren<CBitmapSlider*>().size(), qsizetype(kGeqBandCount));
    }

    void theGraphsBandIsTakenFromTheCurveRecord() {
        GeqPage p(2);
        p.rig.ClearFrames();
        inputGeqCurves[2].Records().bands[12].gain = 155; // as a drag on the graph leaves it
        p.page->TakeBandFromGraph(12, 2);
        QCOMPARE(int(p.In().geq[12]), 155);
        QCOMPARE(p.page->Fader(12)->GetRangeMax() - p.page->Fader(12)->GetPos(), 155);
        QCOMPARE(p.page->lastGraphNotice().count, 1);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(int(writes[0].p4), 24);
        p.page->TakeBandFromGraph(31, 2); // no such band: nothing
        QVERIFY(p.rig.NothingQueued());
    }

    void theBypassIsSharedWithTheInputPage() {
        // GEQ BYPASS on input B, released by the Input page's EQ BYPASS: both equalisers come back.
        GeqPage p(1);
        auto* input = new CInputDlg(*p.rig.app, &p.rig.host);
        input->setGeometry(0, 0, 1084, 351);
        p.In().geq[0] = 333;
        p.In().peq[5].gain = 111;
        p.page->Refresh();
        Click(p.page->BypassButton());
        p.page->hide();
        input->show();
        input->Refresh();
        QVERIFY(input->EqBypassButton()->isChecked());
        QCOMPARE(input->BandTable()->row(5).gain->text(), QStringLiteral("0.0"));
        Click(input->EqBypassButton());
        QCOMPARE(int(p.In().geq[0]), 333);
        QCOMPARE(int(p.In().peq[5].gain), 111);
        input->hide();
        p.page->show();
        p.page->Refresh();
        QVERIFY(!p.page->BypassButton()->isChecked());
        QCOMPARE(p.page->Fader(0)->GetRangeMax() - p.page->Fader(0)->GetPos(), 333);
    }

    void buttonCaptionsFollowTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<QString>("bypass");
        QTest::newRow("English") << 0 << "GEQ RESET"
                                 << "GEQ BYPASS";
        QTest::newRow("Chinese") << 1 << "GEQ 重置"
                                 << "GEQ 旁路";
    }
    void buttonCaptionsFollowTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, reset);
        QFETCH(QString, bypass);
        LanguageManager languages;
        QVERIFY(languages.apply(uint8_t(language)));
        GeqPage p;
        p.page->Refresh();
        QCOMPARE(p.page->ResetButton()->text(), reset);
        QCOMPARE(p.page->BypassButton()->text(), bypass);
        QVERIFY(languages.apply(0));
    }
};

QTEST_MAIN(GEQDlgTest)
#include "GEQDlgTest.moc"
