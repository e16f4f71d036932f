// Renders the controls in use - Home page, Gain page column, input strip, buttons, meters - for review.
#include "controls/RenderOutput.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/HomeLayout.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/controls/XPButton.h"
#include "ui/controls/xSkinButton.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

using namespace velmar;

namespace {

// The Home page as a page would build it over the background of a configuration.
struct HomeTexts {
    QStringList inputCaptions, outputCaptions, inputStages, outputStages;
};

const HomeTexts kEnglish{{"In A", "In B", "In C", "In D"},
                         {"Out 1", "Out 2", "Out 3", "Out 4", "Out 5", "Out 6", "Out 7", "Out 8"},
                         {"Mute", "Gain", "PEQ", "Delay"},
                         {"Gain", "X-Over", "PEQ", "Comp.", "Delay", "Mute"}};
const HomeTexts kChinese{{"输入A", "输入B", "输入C", "输入D"},
                         {"输出 1", "输出 2", "输出 3", "输出 4", "输出 5", "输出 6", "输出 7", "输出 8"},
                         {"静音", "增益", "均衡", "延时"},
                         {"增益", "带通", "均衡", "压缩", "延时", "静音"}};

QImage renderHome(int config, const HomeTexts& texts, const quint8 routeMask[8]) {
    using L = HomeLayout;
    QWidget page;
    page.setFixedSize(L::kPageSize);
    auto* background = new QLabel(&page);
    background->setPixmap(artwork::pixmap(artwork::homeBackgroundId(config)));
    background->setGeometry(QRect(QPoint(0, 0), L::kPageSize));
    const QFont font = palette::uiFont(11);
    auto block = [&](const QString& text, const QRect& r) {
        auto* b = new QPushButton(text, &page);
        b->setFont(font);
        b->setGeometry(r);
    };
    auto caption = [&](const QString& text, const QRect& r) {
        auto* c = new QLabel(text, &page);
        c->setFont(palette::uiFont(12, true));
        c->setAlignment(Qt::AlignCenter);
        c->setGeometry(r);
    };
    auto list = [&](bool input, int count, int selected, const QRect& r) {
        auto* c = new QComboBox(&page);
        c->setFont(font);
        for (int i = 0; i < count; ++i)
            c->addItem(QStringLiteral("LINK ") + (input ? QString(QChar('A' + i)) : QString::number(i + 1)));
        c->setCurrentIndex(selected);
        c->setGeometry(r);
    };
    const int inputs = L::inputCount(config), outputs = L::outputCount(config);
    for (int k = 0; k < inputs; ++k) {
        caption(texts.inputCaptions[k], L::inputCaption(k));
        list(true, inputs, k, L::inputLinkList(k));
        const L::InputStage stages[] = {L::InputStage::Mute, L::InputStage::Gain, L::InputStage::Peq,
                                        L::InputStage::Delay};
        for (int s = 0; s < 4; ++s) block(texts.inputStages[s], L::inputBlock(k, stages[s]));
    }
    for (int r = 0; r < outputs; ++r) {
        const L::OutputStage stages[] = {L::OutputStage::Gain, L::OutputStage::XOver, L::OutputStage::Peq,
                                         L::OutputStage::Comp, L::OutputStage::Delay, L::OutputStage::Mute};
        for (int s = 0; s < 6; ++s) block(texts.outputStages[s], L::outputBlock(r, stages[s]));
        list(false, outputs, r, L::outputLinkList(r));
        caption(texts.outputCaptions[r], L::outputCaption(r));
        for (int t = 0; t < inputs; ++t) {
            auto* m = new xSkinButton(&page);
            const int id = artwork::matrixBitmapId(t, routeMask[r] & (1 << t));
            m->SetSkin(id, id, id);
            m->setGeometry(L::matrixButton(r, t));
        }
    }
    page.show();
    return page.grab().toImage();
}

// One meter column of XPButtons, bottom segment first, lit up to `lit` segments.
QList<XPButton*> buildMeter(QWidget* parent, int segments, int lit, QPoint bottomLeft) {
    QList<XPButton*> meter;
    for (int j = 0; j < segments; ++j) {
        auto* b = new XPButton(parent);
        if (j == segments - 1)
            b->SetBitmaps(442, 442, 442, 458, 458, 458);
        else if (j == segments - 2)
            b->SetBitmaps(443, 443, 443, 457, 457, 457);
        else
            b->SetBitmaps(441, 441, 441, 456, 456, 456);
        b->SetHandCursor(false);
        b->move(bottomLeft.x(), bottomLeft.y() - (j + 1) * 13);
        b->SetOn(j < lit);
        meter.append(b);
    }
    return meter;
}

} // namespace

class ControlGalleryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(palette::applicationPalette());
    }
    void renderHomePages();
    void renderGainPageColumns();
    void renderChannelStrip();
    void renderButtonStates();
    void renderMainWindowTabsOverAPage();
};

void ControlGalleryTest::renderHomePages() {
    const quint8 routes[8] = {0x01, 0x02, 0x03, 0x0F, 0x04, 0x08, 0x0C, 0x00};
    const QImage english = renderHome(7, kEnglish, routes);
    QCOMPARE(english.size(), HomeLayout::kPageSize);
    QVERIFY(test::saveRender(english, QStringLiteral("home-config7-english.png")));
    QVERIFY(test::saveRender(renderHome(7, kChinese, routes), QStringLiteral("home-config7-chinese.png")));
    QVERIFY(test::saveRender(renderHome(3, kEnglish, routes), QStringLiteral("home-config3-english.png")));
    QVERIFY(test::saveRender(renderHome(5, kChinese, routes), QStringLiteral("home-config5-chinese.png")));
    QVERIFY(test::saveRender(test::magnified(english.copy(0, 40, 620, 180), 2),
                             QStringLiteral("home-config7-detail-2x.png")));
}

void ControlGalleryTest::renderGainPageColumns() {
    // Four Gain page columns: buttons at the top, the fader with its 15-segment meter, the entry below.
    QWidget page;
    page.resize(4 * 72 + 8, 380);
    const char* captions[] = {"INPUT A", "INPUT B", "OUTPUT 1", "OUTPUT 2"};
    const int gains[] = {360, 480, 120, 0};
    const int levels[] = {9, 15, 3, 0};
    for (int c = 0; c < 4; ++c) {
        auto* group = new QGroupBox(QString::fromLatin1(captions[c]), &page);
        group->setFont(palette::uiFont(11, true));
        group->setGeometry(4 + c * 72, 4, 68, 370);
        auto* sound = new xSkinButton(group);
        sound->SetSkin(c == 2 ? 419 : 420, c == 2 ? 419 : 420, c == 2 ? 419 : 420);
        sound->setGeometry(4, 22, 60, 25);
        auto* polarity = new xSkinButton(group);
        polarity->SetSkin(c == 1 ? 421 : 422, c == 1 ? 421 : 422, c == 1 ? 421 : 422);
        polarity->setGeometry(4, 50, 60, 25);
        auto* fader = new CBitmapSlider(1720 + c, group);
        fader->SetChannelBitmaps(451, 451, true, QColor(), 0, 0);
        fader->SetThumbBitmaps(452, 453, true, QColor(), 0, 0);
        fader->SetMargins(22, 0, 0, 1);
        fader->SetVertical(true);
        fader->SetRange(0, 480, false);
        fader->SetInvertedPos(gains[c]);
        fader->move(2, 82);
        buildMeter(group, 15, levels[c], QPoint(43, 82 + 255 - 6));
        auto* entry = new QLineEdit(QString::asprintf("%3.1fdB", (gains[c] - 360) / 10.0), group);
        entry->setAlignment(Qt::AlignCenter);
        entry->setFont(palette::uiFont(11));
        entry->setGeometry(4, 340, 60, 22);
    }
    page.show();
    QVERIFY(test::saveRender(page.grab().toImage(), QStringLiteral("gainpage-columns.png")));
    QVERIFY(test::saveRender(test::magnified(page.grab().toImage(), 2),
                             QStringLiteral("gainpage-columns-2x.png")));
}

void ControlGalleryTest::renderChannelStrip() {
    // The Input/Output page gain and delay faders with the 9-segment meter and its labels.
    QWidget page;
    page.resize(200, 260);
    auto* gain = new CBitmapSlider(1710, &page);
    gain->SetChannelBitmaps(450, 450, true, QColor(), 0, 0);
    gain->SetThumbBitmaps(439, 440, true, QColor(), 0, 0);
    gain->SetMargins(8, 0, 0, 1);
    gain->SetRange(0, 480, false);
    gain->SetInvertedPos(360);
    gain->move(10, 40);
    auto* delay = new CBitmapSlider(1711, &page);
    delay->SetChannelBitmaps(130, 130, true, QColor(), 0, 0);
    delay->SetThumbBitmaps(437, 438, true, QColor(), 0, 0);
    delay->SetMargins(3, 0, 0, 1);
    delay->SetRange(0, 1466, false);
    delay->SetInvertedPos(200);
    delay->move(50, 40);
    buildMeter(&page, 9, 6, QPoint(100, 40 + 160));
    const char* labels[] = {"-36", "-30", "-24", "-18", "-12", "-6", " 0", " 6", "12"};
    for (int i = 0; i < 9; ++i) {
        auto* l = new QLabel(QString::fromLatin1(labels[i]), &page);
        l->setFont(palette::uiFont(10));
        l->setStyleSheet(QStringLiteral("color: #949daa"));
        l->setGeometry(125, 40 + 160 - (i + 1) * 13, 30, 13);
    }
    auto* sound = new xSkinButton(&page);
    sound->SetSkin(420, 420, 420);
    sound->setGeometry(10, 6, 60, 25);
    auto* polarity = new xSkinButton(&page);
    polarity->SetSkin(422, 422, 422);
    polarity->setGeometry(76, 6, 60, 25);
    page.show();
    QVERIFY(
        test::saveRender(test::magnified(page.grab().toImage(), 2), QStringLiteral("channel-strip-2x.png")));
}

void ControlGalleryTest::renderButtonStates() {
    // Every skinned face in its use: link indicators off and on, sound and polarity switches, matrix
    // crosspoints; plus an xSkinButton with a caption in normal, hover, pressed and disabled state.
    QWidget page;
    page.resize(480, 150);
    const int lamps[] = {316, 315, 444, 445, 446, 447, 448, 449};
    for (int i = 0; i < 8; ++i) {
        auto* b = new xSkinButton(&page);
        b->SetSkin(lamps[i], lamps[i], lamps[i]);
        b->setGeometry(8 + (i % 4) * 72, 8 + (i / 4) * 28, 66, 22);
    }
    const int faces[] = {419, 420, 421, 422};
    for (int i = 0; i < 4; ++i) {
        auto* b = new xSkinButton(&page);
        b->SetSkin(faces[i], faces[i], faces[i]);
        b->setGeometry(8 + i * 66, 70, 60, 25);
    }
    for (int i = 0; i < 8; ++i) {
        auto* b = new xSkinButton(&page);
        const int id = artwork::matrixBitmapId(i % 4, i >= 4);
        b->SetSkin(id, id, id);
        b->setGeometry(300 + (i % 4) * 24, 8 + (i / 4) * 24, 19, 19);
    }
    QList<xSkinButton*> captioned;
    for (int i = 0; i < 4; ++i) {
        auto* b = new xSkinButton(QStringLiteral("Gain"), &page);
        b->SetSkin(artwork::pixmap(420), artwork::pixmap(421), artwork::pixmap(422));
        b->setGeometry(8 + i * 66, 110, 60, 25);
        captioned.append(b);
    }
    page.show();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(captioned[1], &enter);
    captioned[2]->setDown(true);
    captioned[3]->setEnabled(false);
    QVERIFY(test::saveRender(test::magnified(page.grab().toImage(), 2), QStringLiteral("buttons-2x.png")));
}

void ControlGalleryTest::renderMainWindowTabsOverAPage() {
    // The tab control as the main window sets it up, over the Home page of configuration 7.
    QWidget window;
    window.resize(1100, 760);
    auto* tabs = new EnTabCtrl(&window);
    QPalette pal = tabs->palette();
    pal.setColor(QPalette::Button, palette::kTabButtonFace);
    pal.setColor(QPalette::WindowText, palette::kTabWindowText);
    tabs->setPalette(pal);
    tabs->setFont(palette::uiFont(12));
    tabs->SetBackgroundColor(palette::kTabBackground);
    tabs->SetDrawMode(2);
    EnTabCtrl::SetCustomLook(true, 0x1F);
    const QStringList labels = {" Home ", " Gain ", "Delay",  "GEQ A",  "GEQ B",  "GEQ C",  "GEQ D",
                                " IN A ", " IN B ", " IN C ", " IN D ", " OUT 1", " OUT 2", " OUT 3",
                                " OUT 4", " OUT 5", " OUT 6", " OUT 7", " OUT 8"};
    for (int i = 0; i < labels.size(); ++i) tabs->InsertItem(i, labels[i]);
    tabs->setGeometry(0, 0, 1100, 760);
    auto* home = new QLabel(tabs);
    home->setPixmap(artwork::pixmap(468));
    home->setGeometry(QRect(tabs->displayRect().topLeft() + QPoint(5, 2), HomeLayout::kPageSize));
    window.show();
    const QImage shot = window.grab().toImage();
    QVERIFY(test::saveRender(shot, QStringLiteral("mainwindow-tabs-home.png")));
    QVERIFY(test::saveRender(test::magnified(shot.copy(0, 0, 560, 60), 2),
                             QStringLiteral("mainwindow-tabs-2x.png")));
    EnTabCtrl::SetCustomLook(false, 0);
}

QTEST_MAIN(ControlGalleryTest)
#include "ControlGalleryTest.moc"
