// The Gain page: entries, spins and faders at their limits, field-level link propagation, meters from
// level bytes, hiding by configuration, captions and typed characters.
#include "SysPagesHarness.h"

#include "ui/app/LanguageManager.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/GainDlg.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysChannelPanel.h"
#include "ui/pages/SysPageCommon.h"

#include <QtTest>

using namespace velmar;
using namespace velmar::syspagestest;

namespace {

constexpr int kInputA = 0, kInputB = 1, kOutput1 = 4;

// The page in a shown window, so entries can take and lose the focus as they do for a user.
struct ShownPage {
    explicit ShownPage(Harness& h) : page(h.app, &window) {
        window.resize(1084, 690);
        page.resize(window.size());
        other = new QLineEdit(&window);
        other->move(0, 0);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }
    // Types `text` into the entry of column c, then moves the focus away.
    void typeAndLeave(int c, const QString& text) {
        NumericEntry* e = page.entry(c);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        other->setFocus();
    }
    QWidget window;
    CGainDlg page;
    QLineEdit* other = nullptr;
};

} // namespace

class GainPageTest : public QObject {
    Q_OBJECT

private slots:
    void entriesTakeEffectWhenLeft_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("queued");
        QTest::newRow("12 is the top") << 360 << "12" << 480 << "12.0dB" << false << true;
        QTest::newRow("12.01 is out of range") << 360 << "12.01" << 360 << "0.0dB" << true << false;
        QTest::newRow("-36 is the bottom") << 360 << "-36" << 0 << "-36.0dB" << false << true;
        QTest::newRow("-36.1 is out of range") << 100 << "-36.1" << 100 << "-26.0dB" << true << false;
        QTest::newRow("1.25 truncates") << 360 << "1.25" << 372 << "1.2dB" << false << true;
        QTest::newRow("0.3 is taken as written") << 360 << "0.3" << 363 << "0.3dB" << false << true;
        QTest::newRow("a plus sign") << 360 << "+3" << 390 << "3.0dB" << false << true;
        QTest::newRow("the unit is ignored") << 360 << "-6.5dB" << 295 << "-6.5dB" << false << true;
        QTest::newRow("unchanged keeps the typed text") << 360 << "0" << 360 << "0" << false << false;
        QTest::newRow("an emptied entry keeps the gain") << 200 << "" << 200 << "-16.0dB" << false << false;
        QTest::newRow("a lone sign keeps the gain") << 200 << "-" << 200 << "-16.0dB" << false << false;
    }
    void entriesTakeEffectWhenLeft() {
        QFETCH(int, before);
        QFETCH(QString, typed);
        QFETCH(int, after);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        QFETCH(bool, queued);
        Harness h;
        h.core().image.inputs[kInputB].gain = int16_t(before);
        ShownPage s(h);
        s.page.RefreshPage();
        s.typeAndLeave(kInputB, typed);
        QCOMPARE(int(h.core().image.inputs[kInputB].gain), after);
        QCOMPARE(s.page.entry(kInputB)->text(), shown);
        QCOMPARE(h.messageTexts(), refused ? QStringList{"Data out of range"} : QStringList{});
        // The same box as on every other page, caption included.
        for (const UiMessage& m : h.messages) QCOMPARE(m.caption, QStringLiteral("Warning"));
        QCOMPARE(h.core().scheduler.state == velmar::SchedState::ParamWrite, queued);
        if (queued) {
            QCOMPARE(int(h.core().scheduler.p3), kInputB);
            QCOMPARE(int(h.core().scheduler.p4), 1);
            QCOMPARE(s.page.fader(kInputB)->GetInvertedPos(), after);
        }
    }

    void typedNumbersAreReadAsAtofReadsThem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "3.5" << true << 3.5;
        QTest::newRow("with its unit") << "3.5dB" << true << 3.5;
        QTest::newRow("leading blanks and plus") << "  +2" << true << 2.0;
        QTest::newRow("point first") << ".5" << true << 0.5;
        QTest::newRow("negative point first") << "-.5ms" << true << -0.5;
        QTest::newRow("exponent") << "1e2" << true << 100.0;
        QTest::newRow("two signs") << "+-3" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("a point alone") << "." << false << 0.0;
        QTest::newRow("letters") << "dB" << false << 0.0;
    }
    void typedNumbersAreReadAsAtofReadsThem() {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(double, value);
        // The process locale (set by QApplication) never changes what "3.5" means.
        const std::optional<double> v = syspages::parseTypedNumber(text);
        QCOMPARE(v.has_value(), number);
        if (number) QCOMPARE(*v, value);
    }

    void theRangeMessageIsChineseInChinese() {
        Harness h;
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        h.core().languageFlag = 1;
        CGainDlg page(h.app, nullptr);
        page.entry(kOutput1)->setText(QStringLiteral("13"));
        page.OnEntryLeft(kOutput1);
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("数据超出范围")});
        QCOMPARE(page.entry(kOutput1)->text(), QStringLiteral("0.0dB"));
    }

    void spinsStepOneRawValueAndStillSendAtTheEnds_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("after");
        QTest::newRow("up") << 360 << -1 << 361;
        QTest::newRow("down") << 360 << 1 << 359;
        QTest::newRow("up at the top") << 480 << -1 << 480;
        QTest::newRow("down at the bottom") << 0 << 1 << 0;
    }
    void spinsStepOneRawValueAndStillSendAtTheEnds() {
        QFETCH(int, before);
        QFETCH(int, delta);
        QFETCH(int, after);
        Harness h;
        h.connectLink();
        h.core().image.outputs[2].gain = int16_t(before);
        h.core().outputLinkGroup[4] = 2; // output 5 follows output 3
        CGainDlg page(h.app, nullptr);
        PressSpin(page.spin(kOutput1 + 2), delta);
        QCOMPARE(int(h.core().image.outputs[2].gain), after);
        QCOMPARE(int(h.core().image.outputs[4].gain), after);
        QCOMPARE(page.entry(kOutput1 + 2)->text(),
                 QString::fromLatin1("%1dB").arg((after - 360) / 10.0, 0, 'f', 1));
        // Output 3 at once, then output 5 from its dirty flag.
        const std::vector<Bytes> sent = h.tick(2);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(hexText(Bytes(sent[0].begin() + 5, sent[0].begin() + 10)), QStringLiteral("A1 04 00 02 01"));
        QCOMPARE(hexText(Bytes(sent[1].begin() + 5, sent[1].begin() + 10)), QStringLiteral("A1 04 00 04 01"));
    }

    void theArrowKeysOfAnEntryStepLikeItsSpin() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        QTest::keyClick(page.entry(kInputA), Qt::Key_Up);
        QTest::keyClick(page.entry(kInputA), Qt::Key_Up);
        QTest::keyClick(page.entry(kInputA), Qt::Key_Down);
        QCOMPARE(int(h.core().image.inputs[kInputA].gain), 361);
    }

    void theFaderWritesTheGainItShows() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        page.fader(kOutput1)->SetPos(0); // the top: +12 dB
        page.OnFaderMoved(kOutput1);
        QCOMPARE(int(h.core().image.outputs[0].gain), 480);
        QCOMPARE(page.entry(kOutput1)->text(), QStringLiteral("12.0dB"));
        page.fader(kOutput1)->SetPos(480);
        emit page.fader(kOutput1)->sliderMoved(1724, 480); // delivered after the fader's own event
        QCOMPARE(int(h.core().image.outputs[0].gain), 480);
        QCoreApplication::processEvents();
        QCOMPARE(int(h.core().image.outputs[0].gain), 0);
        QCOMPARE(page.entry(kOutput1)->text(), QStringLiteral("-36.0dB"));
    }

    void linkedChannelsGetOnlyTheEditedField_data() {
        QTest::addColumn<int>("edit"); // 0 sound, 1 polarity, 2 gain entry
        QTest::newRow("sound") << 0;
        QTest::newRow("polarity") << 1;
        QTest::newRow("gain") << 2;
    }
    void linkedChannelsGetOnlyTheEditedField() {
        QFETCH(int, edit);
        Harness h;
        h.connectLink();
        CoreState& s = h.core();
        InputBlock& a = s.image.inputs[kInputA];
        InputBlock& b = s.image.inputs[kInputB];
        a.soundOn = 1, a.polarity = 1, a.gain = 300, a.delay = 40, a.gateThreshold = 90;
        b.soundOn = 1, b.polarity = 1, b.gain = 200, b.delay = 700, b.gateThreshold = 10;
        s.inputLinkGroup[kInputB] = kInputA;
        CGainDlg page(h.app, nullptr);
        switch (edit) {
        case 0:
            page.soundButton(kInputA)->click();
            break;
        case 1:
            page.polarityButton(kInputA)->click();
            break;
        default:
            page.entry(kInputA)->setText(QStringLiteral("-3"));
            page.OnEntryLeft(kInputA);
            break;
        }
        QCOMPARE(s.scheduler.state, velmar::SchedState::ParamWrite);
        QCOMPARE(int(s.scheduler.p3), kInputA);
        QCOMPARE(s.dirty.input[kInputB][1], uint8_t(1));
        QCOMPARE(int(b.soundOn), edit == 0 ? 0 : 1);
        QCOMPARE(int(b.polarity), edit == 1 ? 0 : 1);
        QCOMPARE(int(b.gain), edit == 2 ? 330 : 200);
        QCOMPARE(int(b.delay), 700);
        QCOMPARE(int(b.gateThreshold), 10);
        // Input B shows its new state without a write of its own being queued.
        QCOMPARE(page.soundBitmap(kInputB), edit == 0 ? 419 : 420);
        QCOMPARE(page.polarityBitmap(kInputB), edit == 1 ? 421 : 422);
        QCOMPARE(page.entry(kInputB)->text(),
                 edit == 2 ? QStringLiteral("-3.0dB") : QStringLiteral("-16.0dB"));
        // Outputs and other inputs are not touched.
        QCOMPARE(s.dirty.input[2][1], uint8_t(0));
        QCOMPARE(s.dirty.output[0][1], uint8_t(0));
        const std::vector<Bytes> sent = h.tick(2);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(int(sent[0][8]), kInputA);
        QCOMPARE(int(sent[1][8]), kInputB);
    }

    void buttonsToggleAndShowTheirState() {
        Harness h;
        h.core().image.outputs[7].soundOn = 0;
        h.core().image.outputs[7].polarity = 0;
        CGainDlg page(h.app, nullptr);
        QCOMPARE(page.soundBitmap(11), 419);
        QCOMPARE(page.polarityBitmap(11), 421);
        page.OnSoundClicked(11);
        page.OnPolarityClicked(11);
        QCOMPARE(int(h.core().image.outputs[7].soundOn), 1);
        QCOMPARE(int(h.core().image.outputs[7].polarity), 1);
        QCOMPARE(page.soundBitmap(11), 420);
        QCOMPARE(page.polarityBitmap(11), 422);
        page.OnSoundClicked(11);
        QCOMPARE(int(h.core().image.outputs[7].soundOn), 0);
    }

    void metersLightFromTheLevelBytes_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("lit");  // segments 0..lit-1 lit below the top
        QTest::addColumn<bool>("top"); // the red top segment
        QTest::addColumn<int>("storedBack");
        QTest::newRow("input 60 lights nothing") << 0 << 60 << 0 << false << 60;
        QTest::newRow("input 61 lights one") << 1 << 61 << 1 << false << 61;
        QTest::newRow("input 100 lights fourteen") << 2 << 100 << 14 << false << 100;
        QTest::newRow("input 116 lights 0 to 13") << 3 << 116 << 14 << false << 116;
        QTest::newRow("input 117 also clips") << 3 << 117 << 14 << true << 117;
        QTest::newRow("output 0x90 only limits") << 5 << 0x90 << 0 << true << 0x10;
        QTest::newRow("output 0xE4 limits and shows 100") << 11 << 0xE4 << 14 << true << 0x64;
        QTest::newRow("output 117 does not clip") << 4 << 117 << 14 << false << 117;
    }
    void metersLightFromTheLevelBytes() {
        QFETCH(int, column);
        QFETCH(int, level);
        QFETCH(int, lit);
        QFETCH(bool, top);
        QFETCH(int, storedBack);
        Harness h;
        h.connectLink();
        CGainDlg page(h.app, nullptr);
        MeterLevels& m = h.core().meterLevels;
        uint8_t& byte = column < 4 ? m.inputLevel[column] : m.outputLevel[column - 4];
        byte = uint8_t(level);
        page.OnMeterTimer();
        LevelMeter* meter = page.meter(column);
        for (int j = 0; j < CGainDlg::kMeterSegments - 1; ++j) QCOMPARE(meter->IsSegmentOn(j), j < lit);
        QCOMPARE(meter->IsSegmentOn(CGainDlg::kMeterSegments - 1), top);
        QCOMPARE(int(byte), storedBack);
        // The limiter's mark lights once per heartbeat: the next tick without a new reply shows none.
        page.OnMeterTimer();
        if (column >= 4) QCOMPARE(meter->IsSegmentOn(CGainDlg::kMeterSegments - 1), false);
    }

    void metersShowNothingWithoutALink() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        MeterLevels& m = h.core().meterLevels;
        for (uint8_t& b : m.inputLevel) b = 110;
        for (uint8_t& b : m.outputLevel) b = 0xF0;
        for (uint8_t& b : m.extra) b = 7;
        m.selectedOutputLevel = 0x55;
        page.OnMeterTimer();
        for (int c = 0; c < 12; ++c) QCOMPARE(page.meter(c)->LitCount(), 0);
        for (uint8_t b : m.outputLevel) QCOMPARE(int(b), 0);
        for (uint8_t b : m.extra) QCOMPARE(int(b), 0);
        QCOMPARE(int(m.selectedOutputLevel), 0x55); // the Output page's own copy
    }

    void theMeterTimerRunsFromTheStart() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        QVERIFY(page.meterTimer().isActive());
        QCOMPARE(page.meterTimer().interval(), 100);
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
        ShownPage s(h);
        h.core().deviceConfig = uint8_t(config);
        s.page.RefreshPage();
        for (int c = 0; c < 12; ++c) {
            const bool shown = !hidden.contains(c);
            // The panel holds every control of the channel: fader, entry, spin, buttons, meter, caption.
            QCOMPARE(s.page.panel(c)->isVisible(), shown);
            QCOMPARE(s.page.fader(c)->isVisible(), shown);
            QCOMPARE(s.page.entry(c)->isVisible(), shown);
            QCOMPARE(s.page.spin(c)->isVisible(), shown);
            QCOMPARE(s.page.soundButton(c)->isVisible(), shown);
            QCOMPARE(s.page.polarityButton(c)->isVisible(), shown);
            QCOMPARE(s.page.meter(c)->isVisible(), shown);
        }
        h.core().deviceConfig = 7;
        s.page.RefreshPage();
        for (int c = 0; c < 12; ++c) QVERIFY(s.page.meter(c)->isVisible());
    }

    void fadersAndMetersTakeTheHeightThePageHas() {
        Harness h;
        h.connectLink();
        ShownPage s(h);
        const int least = s.page.fader(kOutput1)->height();
        s.page.resize(1084, 690 + 200);
        QCoreApplication::sendPostedEvents();
        CBitmapSlider* f = s.page.fader(kOutput1);
        LevelMeter* m = s.page.meter(kOutput1);
        QCOMPARE(f->height(), least + 200);
        QCOMPARE(f->travelLength(), least + 200 - 25); // margins and thumb as before: all of it is travel
        // The meter stretches along: bottom and top segment keep their places beside the track.
        QCOMPARE(m->y() + m->height(), f->y() + f->height() - 10);
        QVERIFY(m->y() >= f->y() + 22);
        QVERIFY(m->y() < f->y() + 22 + (CGainDlg::kMeterSegments - 1)); // what whole pitches leave over
        QVERIFY(m->Pitch() > 15);
        // The entry stays inside the panel, under the fader.
        QVERIFY(s.page.entry(kOutput1)->y() > f->y() + f->height());
        QVERIFY(s.page.entry(kOutput1)->geometry().bottom() < s.page.panel(kOutput1)->height());
        // The longer travel still ends at the range: the top is +12 dB.
        const int x = f->width() / 2;
        QTest::mousePress(f, Qt::LeftButton, Qt::NoModifier, QPoint(x, f->pixelForPosition(f->GetPos())));
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 0), f->mapToGlobal(QPointF(x, 0)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &move);
        QTest::mouseRelease(f, Qt::LeftButton, Qt::NoModifier, QPoint(x, 0));
        QCoreApplication::processEvents();
        QCOMPARE(int(h.core().image.outputs[0].gain), CGainDlg::kFaderMax);

        s.page.resize(1084, 200); // smaller than the content: never below the least height
        QCoreApplication::sendPostedEvents();
        QCOMPARE(s.page.fader(kOutput1)->height(), 255);
        QCOMPARE(m->Pitch(), 15);
    }

    void captionsFollowTheLanguage() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        QCOMPARE(page.panel(0)->title(), QStringLiteral("INPUT A"));
        QCOMPARE(page.panel(11)->title(), QStringLiteral("OUTPUT 8"));
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        page.RefreshPage();
        QCOMPARE(page.panel(3)->title(), QStringLiteral("输入 D"));
        QCOMPARE(page.panel(4)->title(), QStringLiteral("输出 1"));
    }

    void entriesTakeDigitsPointSignsAndBackspaceOnly() {
        Harness h;
        CGainDlg page(h.app, nullptr);
        NumericEntry* e = page.entry(kInputA);
        e->clear();
        QTest::keyClicks(e, QStringLiteral("-1a2.,5x+ dB"));
        QCOMPARE(e->text(), QStringLiteral("-12.5+"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), QStringLiteral("-12.5"));
    }
};

QTEST_MAIN(GainPageTest)
#include "GainPageTest.moc"
