// xSkinButton and XPButton: faces per mouse state, capture, check kinds, mask shape, cursor and sizing.
#include "ui/controls/XPButton.h"
#include "ui/controls/xSkinButton.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace velmar;

namespace {

QPixmap solid(QColor c, QSize size = {40, 20}) {
    QPixmap p(size);
    p.fill(c);
    return p;
}

QColor centreColour(QWidget& w) {
    const QImage shot = w.grab().toImage();
    return shot.pixelColor(shot.width() / 2, 2);
}

void enter(QWidget& w) {
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(w.mapToGlobal(QPoint(5, 5))));
    QCoreApplication::sendEvent(&w, &e);
}

void leave(QWidget& w) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &e);
}

void mouse(QWidget& w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

} // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

private slots:
    void onlyANormalFaceIsShownInEveryState();
    void normalDownAndOverFacesFollowHoverAndPress();
    void draggingOffReleasesTheFaceAndReleasingOutsideClicksNothing();
    void disabledFaceFallsBackToNormal();
    void checkBoxesToggleAndRadioButtonsCheckThemselvesOnly();
    void pushButtonsRefuseToBeChecked();
    void maskGivesTheButtonItsShape();
    void drawModeIsClampedToItsThreeValues();
    void captionTakesTheHoverColourWhileHovering();
    void skinByNumberReportsMissingArtwork();
    void xpFacesFollowOnHoverAndPress();
    void xpButtonTakesTheSizeOfItsFace();
    void xpMissingFaceLeavesTheAreaUnpainted();
    void xpCursorIsTheHandUnlessSwitchedOff();
};

void SkinButtonTest::onlyANormalFaceIsShownInEveryState() {
    xSkinButton b;
    b.resize(40, 20);
    b.SetSkin(solid(Qt::darkBlue), QPixmap(), QPixmap());
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
    enter(b);
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
    b.setDown(true);
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
    b.setDown(false);
    b.setEnabled(false);
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
}

void SkinButtonTest::normalDownAndOverFacesFollowHoverAndPress() {
    xSkinButton b;
    b.resize(40, 20);
    b.SetSkin(solid(Qt::darkBlue), solid(Qt::darkRed), solid(Qt::darkGreen));
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
    enter(b);
    QVERIFY(b.IsHovering());
    QCOMPARE(centreColour(b), QColor(Qt::darkGreen));
    b.setDown(true);
    QCOMPARE(centreColour(b), QColor(Qt::darkRed));
    b.setDown(false);
    leave(b);
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
}

void SkinButtonTest::draggingOffReleasesTheFaceAndReleasingOutsideClicksNothing() {
    QWidget window;
    auto* b = new xSkinButton(&window);
    b->setGeometry(10, 10, 40, 20);
    b->SetSkin(solid(Qt::darkBlue), solid(Qt::darkRed), solid(Qt::darkGreen));
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    mouse(*b, QEvent::MouseButtonPress, {20, 10});
    QVERIFY(b->isDown());
    QCOMPARE(centreColour(*b), QColor(Qt::darkRed));
    mouse(*b, QEvent::MouseMove, {200, 10});
    QVERIFY(!b->isDown());
    QVERIFY(centreColour(*b) != QColor(Qt::darkRed));
    mouse(*b, QEvent::MouseMove, {20, 10});
    QVERIFY(b->isDown());
    mouse(*b, QEvent::MouseMove, {200, 10});
    mouse(*b, QEvent::MouseButtonRelease, {200, 10});
    QCOMPARE(clicked.count(), 0);
    mouse(*b, QEvent::MouseButtonPress, {20, 10});
    mouse(*b, QEvent::MouseButtonRelease, {20, 10});
    QCOMPARE(clicked.count(), 1);
}

void SkinButtonTest::disabledFaceFallsBackToNormal() {
    xSkinButton b;
    b.resize(40, 20);
    b.SetSkin(solid(Qt::darkBlue), solid(Qt::darkRed), solid(Qt::darkGreen), solid(Qt::gray));
    b.setEnabled(false);
    QCOMPARE(centreColour(b), QColor(Qt::gray));
    b.SetSkin(solid(Qt::darkBlue), solid(Qt::darkRed), solid(Qt::darkGreen));
    QCOMPARE(centreColour(b), QColor(Qt::darkBlue));
}

void SkinButtonTest::checkBoxesToggleAndRadioButtonsCheckThemselvesOnly() {
    QWidget group;
    auto* check = new xSkinButton(&group, xSkinButton::Kind::CheckBox);
    check->resize(40, 20);
    check->SetSkin(solid(Qt::darkBlue), solid(Qt::darkRed), QPixmap());
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->GetCheck());
    QCOMPARE(centreColour(*check), QColor(Qt::darkRed)); // checked shows the down face
    QTest::keyClick(check, Qt::Key_Space);
    QVERIFY(!check->GetCheck());

    QWidget radios;
    auto* r1 = new xSkinButton(&radios, xSkinButton::Kind::Radio);
    auto* r2 = new xSkinButton(&radios, xSkinButton::Kind::Radio);
    r1->resize(40, 20);
    r2->resize(40, 20);
    QTest::mouseClick(r1, Qt::LeftButton);
    QVERIFY(r1->GetCheck());
    QTest::mouseClick(r1, Qt::LeftButton); // a checked radio button stays checked
    QVERIFY(r1->GetCheck());
    QTest::keyClick(r2, Qt::Key_Space);
    QVERIFY(r2->GetCheck());
    QVERIFY(!r1->GetCheck());
    r1->SetCheck(true);
    QVERIFY(!r2->GetCheck());
}

void SkinButtonTest::pushButtonsRefuseToBeChecked() {
    xSkinButton b;
    QTest::ignoreMessage(QtWarningMsg, "xSkinButton: a push button cannot be checked");
    b.SetCheck(true);
    QVERIFY(!b.GetCheck());
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    b.resize(40, 20);
    QTest::mouseClick(&b, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!b.GetCheck());
}

void SkinButtonTest::maskGivesTheButtonItsShape() {
    // A white mask with a black disc in the middle: only the disc belongs to the button.
    QImage mask(20, 20, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 15; ++x) mask.setPixelColor(x, y, Qt::black);
    xSkinButton b;
    b.resize(20, 20);
    b.SetSkin(solid(Qt::red, {20, 20}), QPixmap(), QPixmap(), QPixmap(), QPixmap(), mask);
    const QRegion shape = b.mask();
    QVERIFY(shape.contains(QPoint(10, 10)));
    QVERIFY(!shape.contains(QPoint(1, 1)));
    QVERIFY(!shape.contains(QPoint(16, 10)));
    b.SetSkin(solid(Qt::red, {20, 20}), QPixmap(), QPixmap());
    QVERIFY(b.mask().isEmpty());
}

void SkinButtonTest::drawModeIsClampedToItsThreeValues() {
    xSkinButton b;
    b.SetSkin(solid(Qt::red), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QImage(), 7);
    QCOMPARE(b.GetDrawMode(), 2);
    b.SetSkin(solid(Qt::red), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QImage(), -3);
    QCOMPARE(b.GetDrawMode(), 0);
    // Stretch fills the button with a small face; copy leaves the rest unpainted.
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::green);
    parent.setPalette(p);
    parent.resize(80, 40);
    auto* s = new xSkinButton(&parent);
    s->setGeometry(0, 0, 80, 40);
    s->SetSkin(solid(Qt::red, {10, 10}), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QImage(), 1);
    QCOMPARE(parent.grab().toImage().pixelColor(70, 30), QColor(Qt::red));
    s->SetSkin(solid(Qt::red, {10, 10}), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QImage(), 0);
    QCOMPARE(parent.grab().toImage().pixelColor(70, 30), QColor(Qt::green));
    s->SetSkin(solid(Qt::red, {10, 10}), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QImage(), 2);
    QCOMPARE(parent.grab().toImage().pixelColor(70, 30), QColor(Qt::red));
}

void SkinButtonTest::captionTakesTheHoverColourWhileHovering() {
    xSkinButton b(QStringLiteral("MMMM"));
    b.resize(120, 30);
    b.SetSkin(solid(Qt::white, {120, 30}), QPixmap(), QPixmap());
    auto has = [&b](QColor wanted) {
        const QImage shot = b.grab().toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y) == wanted) return true;
        return false;
    };
    QVERIFY(has(QColor(255, 0, 0)));
    QVERIFY(!has(QColor(0, 0, 255)));
    enter(b);
    QVERIFY(has(QColor(0, 0, 255)));
    QVERIFY(!has(QColor(255, 0, 0)));
}

void SkinButtonTest::skinByNumberReportsMissingArtwork() {
    xSkinButton b;
    QVERIFY(b.SetSkin(420, 420, 420));
    QCOMPARE(b.sizeHint(), QSize(60, 25));
    QVERIFY(!b.SetSkin(420, 12345, 420));
}

void SkinButtonTest::xpFacesFollowOnHoverAndPress() {
    XPButton b;
    b.SetBitmaps(solid(Qt::green), solid(Qt::cyan), solid(Qt::blue), solid(Qt::darkGray), solid(Qt::gray),
                 solid(Qt::black));
    QCOMPARE(centreColour(b), QColor(Qt::darkGray));
    b.SetOn(true);
    QVERIFY(b.IsOn());
    QCOMPARE(centreColour(b), QColor(Qt::green));
    enter(b);
    QCOMPARE(centreColour(b), QColor(Qt::cyan));
    b.setDown(true);
    QCOMPARE(centreColour(b), QColor(Qt::blue));
    b.setDown(false);
    b.SetOn(false);
    QCOMPARE(centreColour(b), QColor(Qt::gray));
    leave(b);
    QCOMPARE(centreColour(b), QColor(Qt::darkGray));
    QCOMPARE(b.focusPolicy(), Qt::NoFocus);
}

void SkinButtonTest::xpButtonTakesTheSizeOfItsFace() {
    XPButton b;
    QVERIFY(b.SetBitmaps(441, 441, 441, 456, 456, 456));
    QCOMPARE(b.size(), QSize(21, 13));
    QCOMPARE(b.sizeHint(), QSize(21, 13));
    QVERIFY(!b.SetBitmaps(441, 441, 441, 456, 456, 9999));
}

void SkinButtonTest::xpMissingFaceLeavesTheAreaUnpainted() {
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::magenta);
    parent.setPalette(p);
    parent.resize(40, 20);
    auto* b = new XPButton(&parent);
    b->setGeometry(0, 0, 40, 20);
    b->SetBitmaps(solid(Qt::green), QPixmap(), QPixmap(), QPixmap(), QPixmap(), QPixmap());
    QCOMPARE(parent.grab().toImage().pixelColor(20, 10), QColor(Qt::magenta));
    b->SetOn(true);
    QCOMPARE(parent.grab().toImage().pixelColor(20, 10), QColor(Qt::green));
}

void SkinButtonTest::xpCursorIsTheHandUnlessSwitchedOff() {
    XPButton b;
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
    b.SetHandCursor(false);
    QCOMPARE(b.cursor().shape(), Qt::ArrowCursor);
    xSkinButton s;
    QCOMPARE(s.cursor().shape(), Qt::PointingHandCursor);
}

QTEST_MAIN(SkinButtonTest)
#include "SkinButtonTest.moc"
