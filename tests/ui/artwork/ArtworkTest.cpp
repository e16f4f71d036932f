// Artwork drawn in code: sizes per bitmap number, colour-key pixels, tick placement, Home layout; renders.
#include "ui/artwork/Artwork.h"
#include "controls/RenderOutput.h"
#include "ui/artwork/HomeLayout.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"

#include <QPainter>
#include <QtTest>

using namespace velmar;

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void everyBitmapHasTheSizeItsControlsExpect_data();
    void everyBitmapHasTheSizeItsControlsExpect();
    void unknownBitmapNumbersGiveNoImage();
    void imagesAreDrawnOnceAndShared();
    void faderImagesAreKeyedOnAnEmptyTopLeftPixel_data();
    void faderImagesAreKeyedOnAnEmptyTopLeftPixel();
    void trackTicksSitWhereTheThumbCentreStops_data();
    void trackTicksSitWhereTheThumbCentreStops();
    void buttonAndMeterStatesDifferVisibly_data();
    void buttonAndMeterStatesDifferVisibly();
    void homeBackgroundsAreOpaqueAndDifferPerConfiguration();
    void homeControlsLieInsideTheirZonesWithoutOverlapping();
    void matrixBitmapNumbersFollowTheInputAndState();
    void renderEveryBitmap();
};

namespace {
struct Expected {
    int id;
    int w, h;
};
const Expected kSizes[] = {
    {130, 20, 168},   {300, 18, 215},   {450, 25, 168}, {451, 39, 255},   {464, 30, 264},   {437, 14, 21},
    {438, 14, 21},    {439, 14, 21},    {440, 14, 21},  {452, 16, 24},    {453, 16, 24},    {454, 16, 24},
    {455, 16, 24},    {441, 21, 13},    {442, 21, 13},  {443, 21, 13},    {456, 21, 13},    {457, 21, 13},
    {458, 21, 13},    {419, 60, 25},    {420, 60, 25},  {421, 60, 25},    {422, 60, 25},    {425, 19, 19},
    {426, 19, 19},    {427, 19, 19},    {428, 19, 19},  {429, 19, 19},    {430, 19, 19},    {431, 19, 19},
    {432, 19, 19},    {315, 66, 22},    {316, 66, 22},  {444, 66, 22},    {445, 66, 22},    {446, 66, 22},
    {447, 66, 22},    {448, 66, 22},    {449, 66, 22},  {433, 1059, 679}, {434, 1059, 679}, {435, 1059, 679},
    {467, 1059, 679}, {468, 1059, 679},
};

// Sum of absolute channel differences: how different two same-sized images look.
qint64 difference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum;
}
} // namespace

void ArtworkTest::everyBitmapHasTheSizeItsControlsExpect_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    for (const Expected& e : kSizes) QTest::addRow("%d", e.id) << e.id << QSize(e.w, e.h);
}

void ArtworkTest::everyBitmapHasTheSizeItsControlsExpect() {
    QFETCH(int, id);
    QFETCH(QSize, size);
    const QImage image = artwork::image(id);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QCOMPARE(artwork::pixmap(id).size(), size);
}

void ArtworkTest::unknownBitmapNumbersGiveNoImage() {
    QVERIFY(artwork::image(0).isNull());
    QVERIFY(artwork::image(436).isNull());
    QVERIFY(artwork::pixmap(99999).isNull());
    QCOMPARE(artwork::bitmapIds().size(), int(std::size(kSizes)));
}

void ArtworkTest::imagesAreDrawnOnceAndShared() {
    QCOMPARE(artwork::geqTrack464().cacheKey(), artwork::geqTrack464().cacheKey());
    QCOMPARE(artwork::image(464).cacheKey(), artwork::geqTrack464().cacheKey());
}

void ArtworkTest::faderImagesAreKeyedOnAnEmptyTopLeftPixel_data() {
    QTest::addColumn<int>("id");
    for (int id : {130, 300, 450, 451, 464, 437, 438, 439, 440, 452, 453, 454, 455})
        QTest::addRow("%d", id) << id;
}

void ArtworkTest::faderImagesAreKeyedOnAnEmptyTopLeftPixel() {
    // Every fader is set up with the key taken from pixel (0, 0); that pixel must be the background
    // and the body of the image must survive the key.
    QFETCH(int, id);
    const QImage image = artwork::image(id).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    const QRgb key = image.pixel(0, 0);
    int kept = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != key) ++kept;
    QVERIFY2(kept > image.width() * 2, "the image must have visible content");
}

void ArtworkTest::trackTicksSitWhereTheThumbCentreStops_data() {
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("thumb");
    QTest::addColumn<int>("marginLeft");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("majorRaw");
    QTest::addRow("graphic EQ 0 dB") << 464 << 439 << 8 << 400 << 200;
    QTest::addRow("gain page 0 dB") << 451 << 452 << 22 << 480 << 360;
    QTest::addRow("channel gain 0 dB") << 450 << 439 << 8 << 480 << 360;
    QTest::addRow("delay page 1000 ms") << 300 << 454 << 1 << 1466 << 1466;
    QTest::addRow("channel delay 0 ms") << 130 << 437 << 3 << 1466 << 0;
}

void ArtworkTest::trackTicksSitWhereTheThumbCentreStops() {
    // The bright notch of a major tick must be on the row where the slider puts the thumb centre for
    // that value, or the scale lies about the setting.
    QFETCH(int, track);
    QFETCH(int, thumb);
    QFETCH(int, marginLeft);
    QFETCH(int, maximum);
    QFETCH(int, majorRaw);
    CBitmapSlider slider;
    QVERIFY(slider.SetChannelBitmaps(track, track, true));
    QVERIFY(slider.SetThumbBitmaps(thumb, thumb, true));
    slider.SetMargins(marginLeft, 0, 0, 1);
    slider.SetRange(0, maximum);
    slider.SetInvertedPos(majorRaw);
    const int row = slider.pixelForPosition(slider.GetPos());
    const QImage image = artwork::image(track).convertToFormat(QImage::Format_ARGB32);
    const int thumbWidth = artwork::image(thumb).width();
    const int centre = marginLeft + thumbWidth / 2;
    // The tick just left of the slot is on that row and on no neighbouring one.
    QVERIFY2(qAlpha(image.pixel(centre - 4, row)) == 255, qPrintable(QStringLiteral("row %1").arg(row)));
    QCOMPARE(qAlpha(image.pixel(centre - 4, row - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(centre - 4, row + 1)), 0);
}

void ArtworkTest::buttonAndMeterStatesDifferVisibly_data() {
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addRow("sound") << 419 << 420;
    QTest::addRow("polarity") << 421 << 422;
    QTest::addRow("green meter") << 441 << 456;
    QTest::addRow("yellow meter") << 443 << 457;
    QTest::addRow("red meter") << 442 << 458;
    QTest::addRow("matrix A") << 425 << 429;
    QTest::addRow("matrix D") << 428 << 432;
    QTest::addRow("serial lamp") << 444 << 445;
    QTest::addRow("usb lamp") << 446 << 447;
    QTest::addRow("tcp lamp") << 448 << 449;
    QTest::addRow("connect") << 316 << 315;
    QTest::addRow("gain thumb") << 452 << 453;
    QTest::addRow("small thumb") << 439 << 440;
}

void ArtworkTest::buttonAndMeterStatesDifferVisibly() {
    // Two states of one control must not be near-identical: on average at least 12 levels per pixel.
    QFETCH(int, a);
    QFETCH(int, b);
    const QImage x = artwork::image(a), y = artwork::image(b);
    QCOMPARE(x.size(), y.size());
    QVERIFY(difference(x, y) > qint64(x.width()) * x.height() * 12);
}

void ArtworkTest::homeBackgroundsAreOpaqueAndDifferPerConfiguration() {
    QList<QImage> backgrounds;
    for (int config = 3; config <= 7; ++config) {
        const QImage image = artwork::image(artwork::homeBackgroundId(config));
        QVERIFY(!image.isNull());
        QVERIFY(!image.hasAlphaChannel() ||
                image.convertToFormat(QImage::Format_ARGB32).pixel(0, 0) >> 24 == 0xFF);
        for (const QImage& other : backgrounds) QVERIFY(image != other);
        backgrounds.append(image);
    }
    QCOMPARE(artwork::homeBackgroundId(2), 0);
    QCOMPARE(artwork::homeBackgroundId(8), 0);
}

void ArtworkTest::homeControlsLieInsideTheirZonesWithoutOverlapping() {
    using L = HomeLayout;
    const QRect page(QPoint(0, 0), L::kPageSize);
    const QRect inputs = L::section(L::Section::Inputs);
    const QRect matrix = L::section(L::Section::Matrix);
    const QRect outputs = L::section(L::Section::Outputs);
    QVERIFY(page.contains(inputs) && page.contains(matrix) && page.contains(outputs));
    QVERIFY(!inputs.intersects(matrix) && !matrix.intersects(outputs));

    QList<QRect> all;
    for (int k = 0; k < 4; ++k) {
        QList<QRect> row{L::inputCaption(k), L::inputLinkList(k)};
        for (auto s : {L::InputStage::Mute, L::InputStage::Gain, L::InputStage::Peq, L::InputStage::Delay})
            row.append(L::inputBlock(k, s));
        for (const QRect& r : row)
            QVERIFY2(inputs.contains(r), qPrintable(QStringLiteral("input %1").arg(k)));
        all += row;
    }
    for (int r = 0; r < 8; ++r) {
        QList<QRect> row{L::outputLinkList(r), L::outputCaption(r)};
        for (auto s : {L::OutputStage::Gain, L::OutputStage::XOver, L::OutputStage::Peq, L::OutputStage::Comp,
                       L::OutputStage::Delay, L::OutputStage::Mute})
            row.append(L::outputBlock(r, s));
        for (const QRect& rect : row)
            QVERIFY2(outputs.contains(rect), qPrintable(QStringLiteral("output %1").arg(r)));
        all += row;
        for (int t = 0; t < 4; ++t) {
            QVERIFY(matrix.contains(L::matrixButton(r, t)));
            all.append(L::matrixButton(r, t));
        }
    }
    for (int i = 0; i < all.size(); ++i)
        for (int j = i + 1; j < all.size(); ++j)
            QVERIFY2(!all[i].intersects(all[j]),
                     qPrintable(QStringLiteral("controls %1 and %2 overlap").arg(i).arg(j)));
    // Titles stay above every control.
    for (const QRect& r : all) QVERIFY(r.top() > L::sectionTitle(L::Section::Matrix).bottom());
    QCOMPARE(L::inputCount(3), 2);
    QCOMPARE(L::inputCount(5), 3);
    QCOMPARE(L::outputCount(3), 4);
    QCOMPARE(L::outputCount(6), 6);
    QCOMPARE(L::outputCount(7), 8);
}

void ArtworkTest::matrixBitmapNumbersFollowTheInputAndState() {
    QCOMPARE(artwork::matrixBitmapId(0, true), 429);
    QCOMPARE(artwork::matrixBitmapId(3, true), 432);
    QCOMPARE(artwork::matrixBitmapId(1, false), 426);
    QCOMPARE(artwork::matrixBitmapId(4, false), 0);
}

void ArtworkTest::renderEveryBitmap() {
    // One PNG per bitmap at its own size, and a contact sheet of the small ones enlarged 4x on the
    // page colour, for a person to judge.
    QList<int> small;
    for (int id : artwork::bitmapIds()) {
        const QImage image = artwork::image(id);
        QVERIFY(test::saveRender(image, QStringLiteral("bitmap-%1.png").arg(id)));
        if (image.width() < 100 && image.height() < 60) small.append(id);
    }
    const int factor = 4, cellW = 70 * factor, cellH = 46 * factor, columns = 4;
    const int rows = int((small.size() + columns - 1) / columns);
    QImage sheet(columns * cellW, rows * cellH, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(palette::kPage);
    QPainter p(&sheet);
    p.setFont(palette::uiFont(20, true));
    for (int i = 0; i < small.size(); ++i) {
        const int x = (i % columns) * cellW, y = (i / columns) * cellH;
        const QImage image = artwork::image(small[i]);
        p.setPen(palette::kTextDim);
        p.drawText(x + 8, y + 24, QString::number(small[i]));
        p.drawImage(x + 8, y + 32, test::magnified(image, factor));
    }
    p.end();
    QVERIFY(test::saveRender(sheet, QStringLiteral("artwork-small-4x.png")));

    // The fader tracks at 3x, each with its thumb parked at mid travel, side by side.
    const int trackIds[][3] = {{451, 452, 22}, {300, 454, 1}, {464, 439, 8}, {450, 439, 8}, {130, 437, 3}};
    QImage faders(5 * 60 * 3, 280 * 3, QImage::Format_ARGB32_Premultiplied);
    faders.fill(palette::kPanel);
    QPainter f(&faders);
    for (int i = 0; i < 5; ++i) {
        QImage composed = artwork::image(trackIds[i][0]).copy();
        QPainter c(&composed);
        const QImage thumb = artwork::image(trackIds[i][1]);
        c.drawImage(trackIds[i][2], composed.height() / 2 - thumb.height() / 2, thumb);
        c.end();
        f.drawImage(i * 180 + 20, 20, test::magnified(composed, 3));
    }
    f.end();
    QVERIFY(test::saveRender(faders, QStringLiteral("artwork-faders-3x.png")));

    // Details of the Home diagram at 3x: the matrix with the feeds crossing the buses, and a row head.
    const QImage home = artwork::homeBackground4In8Out468();
    QVERIFY(test::saveRender(test::magnified(home.copy(380, 0, 240, 330), 3),
                             QStringLiteral("home-matrix-3x.png")));
    QVERIFY(
        test::saveRender(test::magnified(home.copy(0, 0, 420, 160), 3), QStringLiteral("home-input-3x.png")));
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
