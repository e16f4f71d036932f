// CBitmapSlider: fader geometry of every page, inverted positions, mouse, moving tick, keys, wheel, colour
// key.
#include "ui/controls/BitmapSlider.h"
#include "controls/RenderOutput.h"
#include "ui/artwork/Artwork.h"

#include <QPainter>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace velmar;

namespace {

struct FaderSetup {
    const char* name;
    int track, thumb, activeThumb;
    int marginLeft, marginTop, marginRight, marginBottom;
    int maximum;
    QSize trackSize;
    int start, length;
};

// The faders the pages set up, with the travel each one must have.
const FaderSetup kFaders[] = {
    {"gain page", 451, 452, 453, 22, 0, 0, 1, 480, {39, 255}, 12, 230},
    {"delay page", 300, 454, 455, 1, 0, 0, 1, 1466, {18, 215}, 12, 190},
    {"graphic EQ page", 464, 439, 440, 8, 0, 0, 1, 400, {30, 264}, 10, 242},
    {"channel gain", 450, 439, 440, 8, 0, 0, 1, 480, {25, 168}, 10, 146},
    {"channel delay", 130, 437, 438, 3, 0, 0, 1, 1466, {20, 168}, 10, 146},
};

// The order every page uses: track, thumb, margins, orientation, range without redraw, inverted value.
void setUp(CBitmapSlider& s, const FaderSetup& f, int value) {
    QVERIFY(s.SetChannelBitmaps(f.track, f.track, true, QColor(), 0, 0));
    QVERIFY(s.SetThumbBitmaps(f.thumb, f.activeThumb, true, QColor(), 0, 0));
    s.SetMargins(f.marginLeft, f.marginTop, f.marginRight, f.marginBottom);
    s.SetVertical(true);
    s.SetRange(0, f.maximum, false);
    s.SetInvertedPos(value);
}

// A plain vertical fader over 0..range with a thumb of the given size, for the behaviour tests.
void setUpPlain(CBitmapSlider& s, int range, QSize track = {20, 220}, QSize thumb = {16, 20},
                bool vertical = true) {
    QImage t(track, QImage::Format_RGB32);
    t.fill(Qt::darkGray);
    QImage th(thumb, QImage::Format_RGB32);
    th.fill(Qt::white);
    QVERIFY(s.SetChannelBitmaps(t, QImage(), false));
    QVERIFY(s.SetThumbBitmaps(th, QImage(), false));
    s.SetMargins(0, 0, 0, 0);
    s.SetVertical(vertical);
    s.SetRange(0, range);
}

void send(QWidget& w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}
void press(CBitmapSlider& s, int axis) {
    send(s, QEvent::MouseButtonPress, s.IsVertical() ? QPoint(8, axis) : QPoint(axis, 8));
}
void move(CBitmapSlider& s, int axis) {
    send(s, QEvent::MouseMove, s.IsVertical() ? QPoint(8, axis) : QPoint(axis, 8));
}
void release(CBitmapSlider& s, int axis) {
    send(s, QEvent::MouseButtonRelease, s.IsVertical() ? QPoint(8, axis) : QPoint(axis, 8));
}

// Shows `w` in its window, makes that the active window and gives `w` the keyboard focus: the wheel
// acts only on a focused fader (an unfocused one is tested on the pages, OutputDlgTest).
void giveFocus(QWidget& w) {
    w.window()->show();
    QApplication::setActiveWindow(w.window());
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    w.setFocus();
    QVERIFY(w.hasFocus());
}

void wheel(QWidget& w, int delta) {
    QWheelEvent e(QPointF(5, 5), QPointF(w.mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
}

} // namespace

class BitmapSliderTest : public QObject {
    Q_OBJECT

private slots:
    void everyPageFaderTravelsFromStartPixelOverItsLength_data();
    void everyPageFaderTravelsFromStartPixelOverItsLength();
    void graphicEqZeroDecibelsPutsTheThumbCentreOnPixel131();
    void positionsAndPixelsConvertByTruncation();
    void setRangeParksAtMinimumAndInvertedZeroIsTheBottom();
    void getInvertedPosReturnsTheValueBeforeClampingTheStore();
    void pressOnTheThumbStartsADragAndReleaseReportsMoved();
    void pressBesideTheThumbMovesOneStepTowardTheMouse();
    void dragKeepsTheGrabOffsetAndClampsToTheTravel();
    void movingTickReportsOnlyChangedPositions();
    void keysMoveAndAlwaysReportMoved_data();
    void keysMoveAndAlwaysReportMoved();
    void otherKeysReportNothing();
    void tabStillMovesTheFocus();
    void wheelAccumulatesToOneStepPerNotch();
    void horizontalWheelReportsOnlySteps();
    void keyColourFromThePixelLeavesThatColourTransparent();
    void explicitKeyColourAndOpaqueImages();
    void activeThumbIsShownWhileDraggingAndActiveTrackUpToTheThumb();
    void missingBitmapsAreRefusedAndChangeNothing();
    void trackZeroDiscardsTheTrack();
    void renderEveryPageFader();
};

void BitmapSliderTest::everyPageFaderTravelsFromStartPixelOverItsLength_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kFaders)); ++i) QTest::newRow(kFaders[i].name) << i;
}

void BitmapSliderTest::everyPageFaderTravelsFromStartPixelOverItsLength() {
    QFETCH(int, index);
    const FaderSetup& f = kFaders[index];
    CBitmapSlider s(1700);
    setUp(s, f, f.maximum);
    QCOMPARE(s.size(), f.trackSize);
    QCOMPARE(s.travelStart(), f.start);
    QCOMPARE(s.travelLength(), f.length);
    // Inverted: the largest value at the top, the smallest at the bottom.
    QCOMPARE(s.pixelForPosition(s.GetPos()), f.start);
    s.SetInvertedPos(0);
    QCOMPARE(s.GetPos(), f.maximum);
    QCOMPARE(s.pixelForPosition(s.GetPos()), f.start + f.length);
    QCOMPARE(s.positionForPixel(f.start), 0);
    QCOMPARE(s.positionForPixel(f.start + f.length), f.maximum);
}

void BitmapSliderTest::graphicEqZeroDecibelsPutsTheThumbCentreOnPixel131() {
    CBitmapSlider s(1677);
    setUp(s, kFaders[2], 200);
    QCOMPARE(s.GetPos(), 200);
    QCOMPARE(s.pixelForPosition(s.GetPos()), 131);
}

void BitmapSliderTest::positionsAndPixelsConvertByTruncation() {
    CBitmapSlider s;
    setUp(s, kFaders[1], 0); // delay page: S 12, L 190 over 0..1466
    QCOMPARE(s.pixelForPosition(733), 107);
    QCOMPARE(s.pixelForPosition(1), 12); // 0.129 pixel truncates to the start
    QCOMPARE(s.pixelForPosition(1465), 201);
    QCOMPARE(s.positionForPixel(13), 7); // 1466 / 190 = 7.7 truncates to 7
    QCOMPARE(s.positionForPixel(107), 733);
    // A drag to the ends reaches the ends of the range.
    s.SetPos(733);
    press(s, 107);
    QVERIFY(s.IsDragging());
    move(s, 12);
    QCOMPARE(s.GetPos(), 0);
    move(s, 202);
    QCOMPARE(s.GetPos(), 1466);
    release(s, 202);
}

void BitmapSliderTest::setRangeParksAtMinimumAndInvertedZeroIsTheBottom() {
    CBitmapSlider s;
    setUpPlain(s, 100);
    s.SetPos(50);
    s.SetRange(0, 1466, false);
    QCOMPARE(s.GetPos(), 0);
    s.SetInvertedPos(0);
    QCOMPARE(s.GetPos(), 1466);
    s.SetRange(10, 20);
    QCOMPARE(s.GetPos(), 10);
}

void BitmapSliderTest::getInvertedPosReturnsTheValueBeforeClampingTheStore() {
    CBitmapSlider s;
    setUpPlain(s, 100);
    s.SetInvertedPos(-5);
    QCOMPARE(s.GetPos(), 105); // parked past the end until read
    QCOMPARE(s.GetInvertedPos(), -5);
    QCOMPARE(s.GetPos(), 100);
    QCOMPARE(s.GetInvertedPos(), 0);

    s.SetInvertedPos(130);
    QCOMPARE(s.GetPos(), -30);
    QCOMPARE(s.GetInvertedPos(), 130);
    QCOMPARE(s.GetPos(), 0);
    QCOMPARE(s.GetInvertedPos(), 100);
}

void BitmapSliderTest::pressOnTheThumbStartsADragAndReleaseReportsMoved() {
    CBitmapSlider s(1720);
    setUpPlain(s, 200); // S 10, L 200: one pixel per step
    s.SetPos(100);
    QSignalSpy moving(&s, &CBitmapSlider::sliderMoving);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    const int centre = s.pixelForPosition(100);
    press(s, centre);
    QCOMPARE(s.GetPos(), 100);
    QVERIFY(s.IsDragging());
    QVERIFY(s.IsMovingTimerActive());
    s.movingTick();
    QCOMPARE(moving.count(), 0); // nothing changed yet
    release(s, centre);
    QVERIFY(!s.IsMovingTimerActive());
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1720);
    QCOMPARE(moved.at(0).at(1).toInt(), 100);
}

void BitmapSliderTest::pressBesideTheThumbMovesOneStepTowardTheMouse() {
    CBitmapSlider s(7);
    setUpPlain(s, 200);
    s.SetPos(100);
    QSignalSpy moving(&s, &CBitmapSlider::sliderMoving);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    const int centre = s.pixelForPosition(100);

    press(s, centre + 50);
    QCOMPARE(s.GetPos(), 101);
    QVERIFY(!s.IsDragging());
    move(s, centre + 80); // not a drag: the thumb stays
    QCOMPARE(s.GetPos(), 101);
    s.movingTick(); // the step is reported by the tick that comes before release
    QCOMPARE(moving.count(), 1);
    QCOMPARE(moving.at(0).at(1).toInt(), 101);
    release(s, centre + 80);
    QCOMPARE(moved.count(), 0);

    press(s, s.pixelForPosition(101) - 50);
    QCOMPARE(s.GetPos(), 100);
    release(s, 0); // released before any tick (a tap): the release reports the step, once
    QCOMPARE(moving.count(), 1);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(1).toInt(), 100);
    s.movingTick();
    QCOMPARE(moving.count(), 1);

    // Just outside half the thumb counts as beside it; just inside grabs it.
    press(s, s.pixelForPosition(100) + 11);
    QCOMPARE(s.GetPos(), 101);
    release(s, 0);
    QCOMPARE(moved.count(), 2);
    press(s, s.pixelForPosition(101) + 10);
    QCOMPARE(s.GetPos(), 101);
    QVERIFY(s.IsDragging());
    release(s, 0);
}

void BitmapSliderTest::dragKeepsTheGrabOffsetAndClampsToTheTravel() {
    CBitmapSlider s;
    setUpPlain(s, 200);
    s.SetPos(100);
    const int centre = s.pixelForPosition(100); // 110
    press(s, centre + 6);                       // grabbed 6 pixels below the centre
    QVERIFY(s.IsDragging());
    QCOMPARE(s.GetPos(), 100);
    move(s, centre + 6 + 20);
    QCOMPARE(s.GetPos(), 120); // the thumb follows without jumping to the mouse
    move(s, 1000);
    QCOMPARE(s.GetPos(), 200);
    move(s, -1000);
    QCOMPARE(s.GetPos(), 0);
    release(s, -1000);
    QVERIFY(!s.IsDragging());
    move(s, 150); // no longer dragging
    QCOMPARE(s.GetPos(), 0);
}

void BitmapSliderTest::movingTickReportsOnlyChangedPositions() {
    CBitmapSlider s(1780);
    setUpPlain(s, 200);
    QSignalSpy moving(&s, &CBitmapSlider::sliderMoving);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    s.SetPos(50);
    press(s, s.pixelForPosition(50));
    move(s, s.pixelForPosition(60));
    move(s, s.pixelForPosition(70));
    s.movingTick();
    s.movingTick();
    QCOMPARE(moving.count(), 1);
    QCOMPARE(moving.at(0).at(0).toInt(), 1780);
    QCOMPARE(moving.at(0).at(1).toInt(), 70);
    move(s, s.pixelForPosition(75));
    s.movingTick();
    QCOMPARE(moving.count(), 2);
    QCOMPARE(moving.at(1).at(1).toInt(), 75);
    release(s, s.pixelForPosition(75));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(1).toInt(), 75);
    s.movingTick();
    QCOMPARE(moving.count(), 2);
    QCOMPARE(CBitmapSlider::kMovingPeriodMs, 50);
}

void BitmapSliderTest::keysMoveAndAlwaysReportMoved_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    // From position 50 of 0..100, page size 20.
    for (bool v : {true, false}) {
        const char* o = v ? "vertical" : "horizontal";
        QTest::addRow("%s page up", o) << v << int(Qt::Key_PageUp) << 30;
        QTest::addRow("%s page down", o) << v << int(Qt::Key_PageDown) << 70;
        QTest::addRow("%s home", o) << v << int(Qt::Key_Home) << 0;
        QTest::addRow("%s end", o) << v << int(Qt::Key_End) << 100;
        QTest::addRow("%s up", o) << v << int(Qt::Key_Up) << (v ? 49 : 51);
        QTest::addRow("%s down", o) << v << int(Qt::Key_Down) << (v ? 51 : 49);
        QTest::addRow("%s left", o) << v << int(Qt::Key_Left) << 50;
        QTest::addRow("%s right", o) << v << int(Qt::Key_Right) << 50;
    }
}

void BitmapSliderTest::keysMoveAndAlwaysReportMoved() {
    QFETCH(bool, vertical);
    QFETCH(int, key);
    QFETCH(int, expected);
    CBitmapSlider s(1660);
    setUpPlain(s, 100, vertical ? QSize(20, 220) : QSize(220, 20), vertical ? QSize(16, 20) : QSize(20, 16),
               vertical);
    s.SetPos(50);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    QTest::keyClick(&s, Qt::Key(key));
    QCOMPARE(s.GetPos(), expected);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1660);
    QCOMPARE(moved.at(0).at(1).toInt(), expected);
    // Read inverted, Up raises a vertical fader's value.
    if (vertical && key == Qt::Key_Up) QCOMPARE(s.GetInvertedPos(), 51);
}

void BitmapSliderTest::otherKeysReportNothing() {
    CBitmapSlider s;
    setUpPlain(s, 100);
    s.SetPos(0);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    QTest::keyClick(&s, Qt::Key_A);
    QTest::keyClick(&s, Qt::Key_Return);
    QCOMPARE(moved.count(), 0);
    // Page Up at the top stays there and still reports.
    QTest::keyClick(&s, Qt::Key_PageUp);
    QCOMPARE(s.GetPos(), 0);
    QCOMPARE(moved.count(), 1);
}

void BitmapSliderTest::tabStillMovesTheFocus() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new CBitmapSlider(1, &window);
    auto* second = new CBitmapSlider(2, &window);
    setUpPlain(*first, 100);
    setUpPlain(*second, 100);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QVERIFY(first->hasFocus());
    QSignalSpy moved(first, &CBitmapSlider::sliderMoved);
    QTest::keyClick(first, Qt::Key_Tab);
    QVERIFY(second->hasFocus());
    QCOMPARE(moved.count(), 0);
}

void BitmapSliderTest::wheelAccumulatesToOneStepPerNotch() {
    CBitmapSlider s(3);
    setUpPlain(s, 100);
    s.SetPos(50);
    giveFocus(s);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    wheel(s, 60); // half a notch: reported, but no step
    QCOMPARE(s.GetPos(), 50);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(1).toInt(), 50);
    wheel(s, 60); // the second half makes the step; up moves toward the top
    QCOMPARE(s.GetPos(), 49);
    QCOMPARE(moved.count(), 2);
    wheel(s, 240); // several notches in one event: one step, the sum clamped to one notch
    QCOMPARE(s.GetPos(), 48);
    wheel(s, -120);
    QCOMPARE(s.GetPos(), 49);
    wheel(s, -30000); // a burst far beyond a notch cannot overflow the store
    wheel(s, -30000);
    QCOMPARE(s.GetPos(), 51);
    wheel(s, 60);
    wheel(s, -60);
    QCOMPARE(s.GetPos(), 51);
    QCOMPARE(moved.count(), 8);
}

void BitmapSliderTest::horizontalWheelReportsOnlySteps() {
    CBitmapSlider s(4);
    setUpPlain(s, 100, {220, 20}, {20, 16}, false);
    s.SetPos(50);
    giveFocus(s);
    QSignalSpy moved(&s, &CBitmapSlider::sliderMoved);
    wheel(s, 60);
    QCOMPARE(moved.count(), 0);
    wheel(s, 60);
    QCOMPARE(s.GetPos(), 51);
    QCOMPARE(moved.count(), 1);
    wheel(s, -120);
    QCOMPARE(s.GetPos(), 50);
    QCOMPARE(moved.count(), 2);
}

namespace {
// A parent painted green with the slider on it, grabbed as one image.
QImage composeOnGreen(CBitmapSlider* slider, QWidget& parent) {
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, QColor(0, 255, 0));
    parent.setPalette(p);
    parent.resize(slider->size());
    slider->move(0, 0);
    return parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

void BitmapSliderTest::keyColourFromThePixelLeavesThatColourTransparent() {
    // A 24-bit track: magenta background (the top-left pixel), a blue slot down the middle.
    QImage track(20, 100, QImage::Format_RGB888);
    track.fill(QColor(255, 0, 255));
    for (int y = 0; y < 100; ++y)
        for (int x = 8; x < 12; ++x) track.setPixelColor(x, y, Qt::blue);
    QWidget parent;
    auto* s = new CBitmapSlider(1, &parent);
    QVERIFY(s->SetChannelBitmaps(track, track, true, QColor(), 0, 0));
    const QImage shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(0, 0), QColor(0, 255, 0));
    QCOMPARE(shot.pixelColor(3, 50), QColor(0, 255, 0));
    QCOMPARE(shot.pixelColor(9, 50), QColor(Qt::blue));

    // The key pixel can be anywhere: take blue from (9, 0) and the slot disappears instead.
    QVERIFY(s->SetChannelBitmaps(track, QImage(), true, QColor(), 9, 0));
    const QImage second = composeOnGreen(s, parent);
    QCOMPARE(second.pixelColor(9, 50), QColor(0, 255, 0));
    QCOMPARE(second.pixelColor(3, 50), QColor(255, 0, 255));
}

void BitmapSliderTest::explicitKeyColourAndOpaqueImages() {
    QImage track(20, 100, QImage::Format_RGB32);
    track.fill(QColor(255, 0, 255));
    track.setPixelColor(0, 0, Qt::red);
    QWidget parent;
    auto* s = new CBitmapSlider(1, &parent);
    QVERIFY(s->SetChannelBitmaps(track, QImage(), true, QColor(255, 0, 255)));
    QImage shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(5, 5), QColor(0, 255, 0));
    // Not transparent: every pixel is copied.
    QVERIFY(s->SetChannelBitmaps(track, QImage(), false));
    shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(5, 5), QColor(255, 0, 255));
}

void BitmapSliderTest::activeThumbIsShownWhileDraggingAndActiveTrackUpToTheThumb() {
    QImage track(20, 220, QImage::Format_RGB32), activeTrack(20, 220, QImage::Format_RGB32);
    track.fill(Qt::darkGray);
    activeTrack.fill(Qt::darkCyan);
    QImage thumb(16, 20, QImage::Format_RGB32), activeThumb(16, 20, QImage::Format_RGB32);
    thumb.fill(Qt::white);
    activeThumb.fill(Qt::yellow);
    QWidget parent;
    auto* s = new CBitmapSlider(1, &parent);
    QVERIFY(s->SetChannelBitmaps(track, activeTrack, false));
    QVERIFY(s->SetThumbBitmaps(thumb, activeThumb, false));
    s->SetRange(0, 200);
    s->SetPos(100); // thumb centre at pixel 110
    QImage shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(18, 50), QColor(Qt::darkCyan)); // before the thumb: the active track
    QCOMPARE(shot.pixelColor(18, 109), QColor(Qt::darkCyan));
    QCOMPARE(shot.pixelColor(18, 110), QColor(Qt::darkGray)); // from the thumb centre on: the normal one
    QCOMPARE(shot.pixelColor(8, 110), QColor(Qt::white));
    press(*s, 110);
    shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(8, 110), QColor(Qt::yellow));
    release(*s, 110);
    shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(8, 110), QColor(Qt::white));
}

void BitmapSliderTest::missingBitmapsAreRefusedAndChangeNothing() {
    CBitmapSlider s;
    setUp(s, kFaders[2], 200);
    QVERIFY(!s.SetChannelBitmaps(999, 0, true));
    QVERIFY(!s.SetChannelBitmaps(464, 999, true));
    QVERIFY(!s.SetThumbBitmaps(999, 440, true));
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::red);
    QVERIFY(!s.SetThumbBitmaps(artwork::image(439), small, true)); // an active image of another size
    QCOMPARE(s.size(), QSize(30, 264));
    QCOMPARE(s.travelStart(), 10);
    QCOMPARE(s.travelLength(), 242);
}

void BitmapSliderTest::trackZeroDiscardsTheTrack() {
    QWidget parent;
    auto* s = new CBitmapSlider(1, &parent);
    setUp(*s, kFaders[3], 360);
    QVERIFY(s->SetChannelBitmaps(0, 0, true));
    QVERIFY(s->SetThumbBitmaps(0, 0, true));
    // Nothing left to draw: the control fills itself with its own background colour.
    QPalette own = s->palette();
    own.setColor(QPalette::Window, Qt::red);
    s->setPalette(own);
    QImage shot = composeOnGreen(s, parent);
    QCOMPARE(shot.pixelColor(12, 50), QColor(Qt::red));
}

void BitmapSliderTest::renderEveryPageFader() {
    // Each page's fader on the page colour, at the top, at 0 dB (or mid delay) and at the bottom, and
    // one being dragged; 2x so the pixels can be judged.
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette pal = page.palette();
    pal.setColor(QPalette::Window, QColor(24, 27, 32));
    page.setPalette(pal);
    page.resize(5 * 4 * 48 + 20, 290);
    int x = 10;
    QList<CBitmapSlider*> dragged;
    for (const FaderSetup& f : kFaders) {
        const int mid = f.maximum == 1466 ? 733 : (f.maximum == 400 ? 200 : 360);
        for (int value : {f.maximum, mid, 0, -1}) {
            auto* s = new CBitmapSlider(1, &page);
            setUp(*s, f, value < 0 ? mid - f.maximum / 5 : value);
            s->move(x, 10);
            if (value < 0) dragged.append(s);
            x += 48;
        }
    }
    page.show();
    for (CBitmapSlider* s : dragged) press(*s, s->pixelForPosition(s->GetPos()));
    const QImage shot = page.grab().toImage();
    QVERIFY(test::saveRender(test::magnified(shot, 2), QStringLiteral("bitmapslider-pages-2x.png")));
    for (CBitmapSlider* s : dragged) release(*s, 0);
}

QTEST_MAIN(BitmapSliderTest)
#include "BitmapSliderTest.moc"
