// The Delay page: the three formats, the entry search in each unit, spins and faders at their limits,
// delay-only link propagation, hiding by configuration and typed characters.
#include "SysPagesHarness.h"

#include "ui/app/LanguageManager.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/pages/DelayDlg.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysChannelPanel.h"

#include <QtTest>

using namespace velmar;
using namespace velmar::syspagestest;

namespace {
constexpr int kMs = 0, kMetres = 1, kFeet = 2;
constexpr int kInputC = 2, kOutput1 = 4, kOutput2 = 5;
} // namespace

class DelayPageTest : public QObject {
    Q_OBJECT

private slots:
    void entriesShowTheDelayInThreeUnits_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<QString>("ms");
        QTest::addColumn<QString>("metres");
        QTest::addColumn<QString>("feet");
        QTest::newRow("0") << 0 << "0.000ms"
                           << " 0.000Mt"
                           << " 0.000Ft";
        QTest::newRow("1") << 1 << "0.021ms"
                           << " 0.007Mt"
                           << " 0.023Ft";
        QTest::newRow("476 fine") << 476 << "9.996ms"
                                  << " 3.399Mt"
                                  << "10.937Ft";
        QTest::newRow("477 coarse") << 477 << "11ms"
                                    << "  3.74Mt"
                                    << " 12.04Ft";
        QTest::newRow("1466 top") << 1466 << "1000ms"
                                  << "340.00Mt"
                                  << "1094.1Ft";
    }
    void entriesShowTheDelayInThreeUnits() {
        QFETCH(int, raw);
        QFETCH(QString, ms);
        QFETCH(QString, metres);
        QFETCH(QString, feet);
        Harness h;
        h.core().image.outputs[3].delay = int16_t(raw);
        CDelayDlg page(h.app, nullptr);
        QCOMPARE(page.entry(7, kMs)->text(), ms);
        QCOMPARE(page.entry(7, kMetres)->text(), metres);
        QCOMPARE(page.entry(7, kFeet)->text(), feet);
        QCOMPARE(page.fader(7)->GetInvertedPos(), raw);
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off); // showing queues nothing
    }

    void typedDelaysAreSearchedOnTheScale_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("raw");
        QTest::addColumn<bool>("refused");
        QTest::newRow("10 ms is raw 476") << kMs << "10" << 476 << false;
        QTest::newRow("10.5 ms is raw 477") << kMs << "10.5" << 477 << false;
        QTest::newRow("0.02 ms is raw 1") << kMs << "0.02" << 1 << false;
        QTest::newRow("1000 ms is the top") << kMs << "1000" << 1466 << false;
        QTest::newRow("1000.5 ms is out of range") << kMs << "1000.5" << 300 << true;
        QTest::newRow("the unit text is ignored") << kMs << "20ms" << 486 << false;
        QTest::newRow("3 m is raw 421") << kMetres << "3" << 421 << false;
        QTest::newRow("340 m is the top") << kMetres << "340" << 1466 << false;
        QTest::newRow("340.1 m is out of range") << kMetres << "340.1" << 300 << true;
        QTest::newRow("1094.1 ft is the top") << kFeet << "1094.1" << 1466 << false;
        QTest::newRow("1094.2 ft is out of range") << kFeet << "1094.2" << 300 << true;
        QTest::newRow("0 ft is raw 0") << kFeet << "0" << 0 << false;
        QTest::newRow("an emptied entry keeps the delay") << kFeet << "" << 300 << false;
    }
    void typedDelaysAreSearchedOnTheScale() {
        QFETCH(int, unit);
        QFETCH(QString, typed);
        QFETCH(int, raw);
        QFETCH(bool, refused);
        Harness h;
        h.core().image.inputs[kInputC].delay = 300;
        CDelayDlg page(h.app, nullptr);
        page.entry(kInputC, unit)->setText(typed);
        page.OnEntryLeft(kInputC, unit);
        QCOMPARE(int(h.core().image.inputs[kInputC].delay), raw);
        QCOMPARE(h.messageTexts(), refused ? QStringList{"Data out of range"} : QStringList{});
        // The same box as on every other page, caption included.
        for (const UiMessage& m : h.messages) QCOMPARE(m.caption, QStringLiteral("Warning"));
        QCOMPARE(h.core().scheduler.state == velmar::SchedState::ParamWrite, raw != 300);
        // All three entries show the stored value (an unchanged value would keep the typed text).
        if (raw != 300 || refused)
            QCOMPARE(page.entry(kInputC, kMs)->text(),
                     QString::fromStdString(DelayText(raw, DelayUnit::Milliseconds)));
        QCOMPARE(page.fader(kInputC)->GetInvertedPos(), raw);
    }

    void anUnchangedValueKeepsTheTypedText() {
        Harness h;
        h.core().image.inputs[0].delay = 476;
        CDelayDlg page(h.app, nullptr);
        page.entry(0, kMs)->setText(QStringLiteral("10"));
        page.OnEntryLeft(0, kMs);
        QCOMPARE(page.entry(0, kMs)->text(), QStringLiteral("10"));
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off);
    }

    void spinsStepOneRawValueInEveryUnit_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("after");
        QTest::newRow("ms up") << kMs << 476 << -1 << 477;
        QTest::newRow("metres down") << kMetres << 477 << 1 << 476;
        QTest::newRow("feet up at the top") << kFeet << 1466 << -1 << 1466;
        QTest::newRow("ms down at zero") << kMs << 0 << 1 << 0;
    }
    void spinsStepOneRawValueInEveryUnit() {
        QFETCH(int, unit);
        QFETCH(int, before);
        QFETCH(int, delta);
        QFETCH(int, after);
        Harness h;
        h.connectLink();
        h.core().image.outputs[0].delay = int16_t(before);
        CDelayDlg page(h.app, nullptr);
        PressSpin(page.spin(kOutput1, unit), delta);
        QCOMPARE(int(h.core().image.outputs[0].delay), after);
        // Even at the ends the write goes out.
        QCOMPARE(h.tick().size(), size_t(1));
    }

    void draggingALinkedFaderMovesOnlyTheDelayOfTheOthers() {
        Harness h;
        h.connectLink();
        CoreState& s = h.core();
        s.outputLinkGroup[1] = 0; // output 2 follows output 1
        s.image.outputs[0].gain = 300;
        s.image.outputs[1].gain = 250;
        s.image.outputs[1].routeMask = 0x02;
        CDelayDlg page(h.app, nullptr);
        page.fader(kOutput1)->SetInvertedPos(1000);
        page.OnFaderMoved(kOutput1);
        QCOMPARE(int(s.image.outputs[0].delay), 1000);
        QCOMPARE(int(s.image.outputs[1].delay), 1000);
        QCOMPARE(int(s.image.outputs[1].gain), 250);
        QCOMPARE(int(s.image.outputs[1].routeMask), 0x02);
        QCOMPARE(s.dirty.output[1][1], uint8_t(1));
        QCOMPARE(page.fader(kOutput2)->GetInvertedPos(), 1000);
        QCOMPARE(page.entry(kOutput2, kMs)->text(), QStringLiteral("534ms"));
        QCOMPARE(page.entry(kOutput2, kMetres)->text(), QStringLiteral("181.56Mt"));
        const std::vector<Bytes> sent = h.tick(2);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(int(sent[0][8]), 0);
        QCOMPARE(int(sent[1][8]), 1);
        // Output 2's frame carries its own gain and routing, and the new delay.
        QCOMPARE(hexText(Bytes(sent[1].begin() + 12, sent[1].begin() + 20)).mid(6),
                 QStringLiteral("FA 00 E8 03 02 00"));
    }

    void hidingFollowsTheConfiguration_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<QList<int>>("hidden");
        QTest::newRow("3") << 3 << QList<int>{2, 3, 8, 9, 10, 11};
        QTest::newRow("4") << 4 << QList<int>{2, 3, 10, 11};
        QTest::newRow("5") << 5 << QList<int>{3, 10, 11};
        QTest::newRow("6") << 6 << QList<int>{10, 11};
        QTest::newRow("7") << 7 << QList<int>{};
    }
    void hidingFollowsTheConfiguration() {
        QFETCH(int, config);
        QFETCH(QList<int>, hidden);
        Harness h;
        QWidget window;
        CDelayDlg page(h.app, &window);
        window.show();
        h.core().deviceConfig = uint8_t(config);
        page.RefreshPage();
        for (int c = 0; c < 12; ++c) {
            const bool shown = !hidden.contains(c);
            QCOMPARE(page.panel(c)->isVisible(), shown);
            QCOMPARE(page.fader(c)->isVisible(), shown);
            for (int u = 0; u < CDelayDlg::kUnitCount; ++u) {
                QCOMPARE(page.entry(c, u)->isVisible(), shown);
                QCOMPARE(page.spin(c, u)->isVisible(), shown);
            }
        }
    }

    void fadersTakeTheHeightThePageHas() {
        Harness h;
        CDelayDlg page(h.app, nullptr);
        page.resize(1084, 690);
        page.show();
        QCoreApplication::sendPostedEvents();
        CBitmapSlider* f = page.fader(kOutput1);
        QVERIFY(f->height() > 215 + 150);
        QCOMPARE(f->travelLength(), f->height() - 25);
        // The scale marks follow the longer travel: 1000 ms at the top of the thumb's path.
        QCOMPARE(f->pixelForPosition(0), 12);
        const QRect lastEntry = page.entry(kOutput1, kFeet)->geometry();
        QVERIFY(lastEntry.top() > f->y() + f->height());
        QVERIFY(lastEntry.bottom() < page.panel(kOutput1)->height());
        page.resize(1084, 100);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(f->height(), 215);
    }

    void captionsFollowTheLanguage() {
        Harness h;
        CDelayDlg page(h.app, nullptr);
        QCOMPARE(page.panel(2)->title(), QStringLiteral("INPUT C"));
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        page.RefreshPage();
        QCOMPARE(page.panel(2)->title(), QStringLiteral("输入 C"));
        QCOMPARE(page.panel(9)->title(), QStringLiteral("输出 6"));
    }

    void entriesTakeNoSigns() {
        Harness h;
        CDelayDlg page(h.app, nullptr);
        NumericEntry* e = page.entry(0, kFeet);
        e->clear();
        QTest::keyClicks(e, QStringLiteral("-12+.5ft"));
        QCOMPARE(e->text(), QStringLiteral("12.5"));
    }
};

QTEST_MAIN(DelayPageTest)
#include "DelayPageTest.moc"
