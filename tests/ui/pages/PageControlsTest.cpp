// The channel pages' own small controls: the numeric entry (number parsing, keyboard filter, commit on
// leaving only after typing) and the up-down control (press, repeat and its speed-up, no focus).
#include "ui/controls/XPButton.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace velmar;

class PageControlsTest : public QObject {
    Q_OBJECT

private slots:
    void numbersAreReadWithTheirUnitOrNotAtAll_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "250" << true << 250.0;
        QTest::newRow("decimal") << "1.414" << true << 1.414;
        QTest::newRow("negative") << "-3.5" << true << -3.5;
        QTest::newRow("point first") << ".5" << true << 0.5;
        QTest::newRow("point last") << "7." << true << 7.0;
        QTest::newRow("blanks around") << "  12  " << true << 12.0;
        QTest::newRow("unit kept") << "-6.0dB" << true << -6.0;
        QTest::newRow("unit in other case") << "3DB" << true << 3.0;
        QTest::newRow("unit after a blank") << "9.996 ms" << true << 9.996;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("lone minus") << "-" << false << 0.0;
        QTest::newRow("lone point") << "." << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("two minus signs") << "--1" << false << 0.0;
        QTest::newRow("minus inside") << "1-2" << false << 0.0;
        QTest::newRow("another unit") << "5Hz" << false << 0.0;
        QTest::newRow("letters") << "OFF" << false << 0.0;
    }
    void numbersAreReadWithTheirUnitOrNotAtAll() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const std::optional<double> v =
            NumericEntry::ParseNumber(text, {QStringLiteral("dB"), QStringLiteral("ms")});
        QCOMPARE(v.has_value(), valid);
        if (valid) QCOMPARE(*v, value);
    }

    void onlyTheCharactersOfANumberAreTyped() {
        NumericEntry e;
        QTest::keyClicks(&e, QStringLiteral("a-1b2.c3 d+e"));
        QCOMPARE(e.text(), QStringLiteral("-12.3"));
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(e.text(), QStringLiteral("-12."));
        QTest::keyClick(&e, Qt::Key_Home);
        QTest::keyClick(&e, Qt::Key_Delete);
        QCOMPARE(e.text(), QStringLiteral("12."));
    }

    void aValueIsHandedOnOnlyAfterTheUserTyped() {
        NumericEntry e;
        QSignalSpy committed(&e, &NumericEntry::committed);
        e.ShowText(QStringLiteral("100"));
        QVERIFY(!e.CommitIfModified());
        QTest::keyClick(&e, Qt::Key_Return);
        QCOMPARE(committed.count(), 0);
        QTest::keyClick(&e, Qt::Key_End);
        QTest::keyClicks(&e, QStringLiteral("5"));
        QTest::keyClick(&e, Qt::Key_Enter);
        QCOMPARE(committed.count(), 1);
        QCOMPARE(committed.at(0).at(0).toString(), QStringLiteral("1005"));
        QTest::keyClick(&e, Qt::Key_Escape); // nothing typed since: nothing handed on
        QCOMPARE(committed.count(), 1);
        // Showing a stored value over a typed one drops the typing.
        QTest::keyClicks(&e, QStringLiteral("7"));
        e.ShowText(QStringLiteral("42"));
        QVERIFY(!e.CommitIfModified());
    }

    void leavingTheEntryHandsOnTheValueButItsOwnMenuDoesNot() {
        NumericEntry e;
        QSignalSpy committed(&e, &NumericEntry::committed);
        QTest::keyClicks(&e, QStringLiteral("12"));
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(&e, &popup);
        QCOMPARE(committed.count(), 0);
        QFocusEvent away(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(&e, &away);
        QCOMPARE(committed.count(), 1);
    }

    void theSignsTypedAreTheOnesTheRulesAllow_data() {
        QTest::addColumn<int>("signs");
        QTest::addColumn<QString>("kept");
        QTest::newRow("none") << int(NumericEntry::Signs::None) << QStringLiteral("12.5");
        QTest::newRow("minus") << int(NumericEntry::Signs::Minus) << QStringLiteral("-12.5");
        QTest::newRow("plus and minus") << int(NumericEntry::Signs::PlusAndMinus) << QStringLiteral("-1+2.5");
    }
    void theSignsTypedAreTheOnesTheRulesAllow() {
        QFETCH(int, signs);
        QFETCH(QString, kept);
        NumericEntry e(NumericEntry::Signs(signs), NumericEntry::Commit::EveryLeave);
        QTest::keyClicks(&e, QStringLiteral("-1+2.5 dB"));
        QKeyEvent otherDigit(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x0663)));
        QCoreApplication::sendEvent(&e, &otherDigit); // an Arabic-Indic three is no digit here
        QCOMPARE(e.text(), kept);
    }

    void anEveryLeaveEntryHandsOnEachLeaveButNeverItsEnter() {
        NumericEntry e(NumericEntry::Signs::PlusAndMinus, NumericEntry::Commit::EveryLeave);
        QSignalSpy committed(&e, &NumericEntry::committed);
        e.ShowText(QStringLiteral("-3.0dB"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&e, &enter);
        QVERIFY(!enter.isAccepted()); // left to the window, whose filter moves the focus away
        QCOMPARE(committed.count(), 0);
        QFocusEvent away(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(&e, &away);
        QCoreApplication::sendEvent(&e, &away); // unchanged, still handed on: the page decides
        QCOMPARE(committed.count(), 2);
        QCOMPARE(committed.at(1).at(0).toString(), QStringLiteral("-3.0dB"));
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(&e, &popup);
        QCOMPARE(committed.count(), 2);
    }

    void theArrowKeysAskForASteps() {
        NumericEntry e;
        QSignalSpy steps(&e, &NumericEntry::stepRequested);
        QTest::keyClick(&e, Qt::Key_Up);
        QTest::keyClick(&e, Qt::Key_Down);
        QCOMPARE(steps.count(), 2);
        QCOMPARE(steps.at(0).at(0).toBool(), true);
        QCOMPARE(steps.at(1).at(0).toBool(), false);
    }

    void aPressStepsOnceAndHoldingRepeatsFasterAfterTwoSeconds() {
        StepButtons s;
        s.resize(15, 22);
        QCOMPARE(s.focusPolicy(), Qt::NoFocus);
        QSignalSpy stepped(&s, &StepButtons::stepped);
        QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(7, 3));
        QCOMPARE(stepped.count(), 1);
        QCOMPARE(stepped.at(0).at(0).toBool(), true);
        QVERIFY(s.IsRepeating());
        QCOMPARE(s.RepeatInterval(), StepButtons::kRepeatDelayMs);
        s.RepeatTick();
        QCOMPARE(s.RepeatInterval(), StepButtons::kRepeatIntervalMs);
        for (int i = 1; i < StepButtons::kRepeatsBeforeFast; ++i) s.RepeatTick();
        QCOMPARE(s.RepeatInterval(), StepButtons::kFastRepeatIntervalMs);
        QCOMPARE(stepped.count(), 1 + StepButtons::kRepeatsBeforeFast);
        QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, QPoint(7, 3));
        QVERIFY(!s.IsRepeating());
        s.RepeatTick(); // a tick already on its way after the release steps nothing
        QCOMPARE(stepped.count(), 1 + StepButtons::kRepeatsBeforeFast);

        QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(7, 19));
        QCOMPARE(stepped.last().at(0).toBool(), false);
        QCOMPARE(s.RepeatInterval(), StepButtons::kRepeatDelayMs); // a new press starts slow again
        QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, QPoint(7, 19));
        s.setEnabled(false);
        QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(7, 3));
        QCOMPARE(stepped.count(), 2 + StepButtons::kRepeatsBeforeFast);
    }

    void metersStackTheirSegmentsBottomFirstAndLabelOnlyWhenAsked_data() {
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<bool>("labelled");
        QTest::newRow("channel page") << LevelMeter::kChannelSegments << LevelMeter::kChannelPitch << true;
        QTest::newRow("gain page") << 15 << 15 << false;
    }
    void metersStackTheirSegmentsBottomFirstAndLabelOnlyWhenAsked() {
        QFETCH(int, segments);
        QFETCH(int, pitch);
        QFETCH(bool, labelled);
        LevelMeter m(segments, pitch, labelled ? LevelMeter::ChannelLabels() : QStringList());
        QCOMPARE(m.SegmentCount(), segments);
        QCOMPARE(m.height(), (segments - 1) * pitch + LevelMeter::kSegmentHeight);
        QCOMPARE(m.width() > LevelMeter::kSegmentWidth, labelled);
        for (int j = 0; j < segments; ++j) QCOMPARE(m.Segment(j)->y(), m.height() - 13 - j * pitch);
        const QList<QLabel*> labels = m.findChildren<QLabel*>();
        QCOMPARE(labels.size(), labelled ? segments : 0);
        if (labelled) {
            QCOMPARE(labels.first()->text(), QStringLiteral("-36")); // beside the bottom segment
            QCOMPARE(labels.first()->y(), m.Segment(0)->y() - 1);
            QCOMPARE(labels.last()->text(), QStringLiteral("12"));
        }
        QVERIFY(m.testAttribute(Qt::WA_TransparentForMouseEvents));

        m.SetSegment(0, true);
        m.SetSegment(segments - 1, true);
        m.SetSegment(segments, true); // past the top: ignored
        m.SetSegment(-1, true);
        QCOMPARE(m.LitCount(), 2);
        QVERIFY(m.IsSegmentOn(segments - 1));
        QVERIFY(!m.IsSegmentOn(segments));
    }
};

QTEST_MAIN(PageControlsTest)
#include "PageControlsTest.moc"
