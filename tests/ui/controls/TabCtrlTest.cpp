// BaseTabCtrl and EnTabCtrl: colour functions per look flag, gradient bands, draw modes, selection.
#include "controls/RenderOutput.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/EnTabCtrl.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

using namespace velmar;

namespace {

const QColor kFace(212, 208, 200);
const QColor kText(0, 0, 0);

// A tab control with a known "system" palette.
void useClassicPalette(QWidget& w) {
    QPalette p = w.palette();
    p.setColor(QPalette::Button, kFace);
    p.setColor(QPalette::WindowText, kText);
    w.setPalette(p);
}

class LowColourTabs : public EnTabCtrl {
public:
    using EnTabCtrl::EnTabCtrl;

protected:
    int displayDepth() const override { return 4; }
};

void addTabs(BaseTabCtrl& t, int count) {
    const char* labels[] = {" Home ", " Gain ", "Delay", "GEQ A", " IN A ", " OUT 1"};
    for (int i = 0; i < count; ++i) t.InsertItem(i, QString::fromLatin1(labels[i % 6]));
}

} // namespace

class TabCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void init() { EnTabCtrl::SetCustomLook(false, 0); }
    void cleanup() { EnTabCtrl::SetCustomLook(false, 0); }

    void lightAndDarkScaleEachChannel();
    void tabColoursFollowTheLookFlags_data();
    void tabColoursFollowTheLookFlags();
    void customLookIsSharedAndClearedWhenDisabled();
    void baseControlUsesTheSystemColours();
    void gradientFillsTwoPixelBandsFromTabColourToEndColour();
    void lowColourDisplaysFillTabsFlat();
    void drawModeThreeIsRefused();
    void selectedTabIsDrawnLastAndTaller();
    void clicksAndArrowsSelectAndNotifyButSetCurSelDoesNot();
    void itemsKeepTheSelectionWhenInsertedBeforeIt();
    void baseOwnerDrawingWithoutOverridesWarns();
    void renderTabBars();
};

void TabCtrlTest::lightAndDarkScaleEachChannel() {
    QCOMPARE(EnTabCtrl::Light(QColor(0xE6, 0xE6, 0xE6), 1.9), QColor(255, 255, 255));
    QCOMPARE(EnTabCtrl::Light(QColor(100, 150, 200), 1.5), QColor(150, 225, 255));
    QCOMPARE(EnTabCtrl::Light(kFace, 1.4), QColor(255, 255, 255)); // 296, 291, 280 all capped
    QCOMPARE(EnTabCtrl::Dark(QColor(255, 128, 1), 0.5), QColor(127, 64, 0));
    QCOMPARE(EnTabCtrl::Dark(QColor(255, 255, 255), 0.9), QColor(229, 229, 229));
    QCOMPARE(EnTabCtrl::Dark(kFace, 0.9), QColor(190, 187, 180));
    QCOMPARE(EnTabCtrl::Dark(QColor(255, 255, 255), 0.1), QColor(25, 25, 25));
}

void TabCtrlTest::tabColoursFollowTheLookFlags_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<QColor>("background"); // invalid: none set
    QTest::addColumn<QColor>("selected");
    QTest::addColumn<QColor>("unselected");
    QTest::addColumn<QColor>("selectedText");
    QTest::addColumn<QColor>("unselectedText");
    QTest::addColumn<QColor>("unselectedEnd");

    const QColor white(255, 255, 255), none;
    const QColor faceDark09(190, 187, 180), faceDark05(106, 104, 100), faceDark01(21, 20, 20);
    const QColor faceDark07(148, 145, 140);
    using E = EnTabCtrl;
    // The main window's look: white background, every flag.
    QTest::newRow("main window 0x1F") << 0x1Fu << white << white << QColor(229, 229, 229) << kText
                                      << QColor(25, 25, 25) << QColor(178, 178, 178);
    QTest::newRow("no flags") << 0u << white << kFace << faceDark09 << kText << faceDark05
                              << QColor(178, 178, 178);
    QTest::newRow("no flags, no background")
        << 0u << none << kFace << faceDark09 << kText << faceDark05 << faceDark07;
    QTest::newRow("highlight without colour") << unsigned(E::Selection) << white << QColor(255, 255, 255)
                                              << faceDark09 << kText << faceDark05 << QColor(178, 178, 178);
    QTest::newRow("colour flag, no background") << unsigned(E::Color | E::Selection) << none << white
                                                << faceDark09 << kText << faceDark01 << faceDark07;
    QTest::newRow("flat") << unsigned(E::Flat) << white << kFace << white << kText << QColor(25, 25, 25)
                          << QColor(178, 178, 178);
    QTest::newRow("flat, no background")
        << unsigned(E::Flat) << none << kFace << kFace << kText << faceDark01 << faceDark07;
    QTest::newRow("flat with back tabs") << unsigned(E::Flat | E::BackTabs) << white << kFace << faceDark09
                                         << kText << QColor(25, 25, 25) << QColor(178, 178, 178);
    QTest::newRow("flat, back tabs, colour")
        << unsigned(E::Flat | E::BackTabs | E::Color) << white << kFace << QColor(229, 229, 229) << kText
        << QColor(25, 25, 25) << QColor(178, 178, 178);
    QTest::newRow("colour, dark background")
        << unsigned(E::Color) << QColor(40, 60, 80) << kFace << QColor(36, 54, 72) << kText << QColor(4, 6, 8)
        << QColor(28, 42, 56);
}

void TabCtrlTest::tabColoursFollowTheLookFlags() {
    QFETCH(unsigned, flags);
    QFETCH(QColor, background);
    QFETCH(QColor, selected);
    QFETCH(QColor, unselected);
    QFETCH(QColor, selectedText);
    QFETCH(QColor, unselectedText);
    QFETCH(QColor, unselectedEnd);
    EnTabCtrl tabs;
    useClassicPalette(tabs);
    tabs.SetBackgroundColor(background);
    EnTabCtrl::SetCustomLook(true, flags);
    QCOMPARE(tabs.GetTabColor(true), selected);
    QCOMPARE(tabs.GetTabColor(false), unselected);
    QCOMPARE(tabs.GetTabTextColor(true), selectedText);
    QCOMPARE(tabs.GetTabTextColor(false), unselectedText);
    QCOMPARE(tabs.GradientEndColor(true), kFace);
    QCOMPARE(tabs.GradientEndColor(false), unselectedEnd);
}

void TabCtrlTest::customLookIsSharedAndClearedWhenDisabled() {
    EnTabCtrl a, b;
    useClassicPalette(a);
    useClassicPalette(b);
    EnTabCtrl::SetCustomLook(true, EnTabCtrl::Selection);
    QCOMPARE(EnTabCtrl::GetCustomLook(), unsigned(EnTabCtrl::Selection));
    QCOMPARE(b.GetTabColor(true), QColor(255, 255, 255));
    EnTabCtrl::SetCustomLook(false, 0x1F);
    QCOMPARE(EnTabCtrl::GetCustomLook(), 0u);
    QCOMPARE(a.GetTabColor(true), kFace);
}

void TabCtrlTest::baseControlUsesTheSystemColours() {
    BaseTabCtrl base;
    useClassicPalette(base);
    QCOMPARE(base.GetTabColor(true), kFace);
    QCOMPARE(base.GetTabColor(false), kFace);
    QCOMPARE(base.GetTabTextColor(false), kText);
}

void TabCtrlTest::gradientFillsTwoPixelBandsFromTabColourToEndColour() {
    QCOMPARE(EnTabCtrl::GradientBand(QColor(0, 0, 0), QColor(200, 100, 50), 0, 20), QColor(0, 0, 0));
    QCOMPARE(EnTabCtrl::GradientBand(QColor(0, 0, 0), QColor(200, 100, 50), 10, 20), QColor(100, 50, 25));
    QCOMPARE(EnTabCtrl::GradientBand(QColor(255, 255, 255), QColor(212, 208, 200), 6, 20),
             QColor(243, 241, 239));

    EnTabCtrl tabs;
    useClassicPalette(tabs);
    tabs.SetBackgroundColor(QColor(255, 255, 255));
    tabs.SetDrawMode(2);
    EnTabCtrl::SetCustomLook(true, 0x1F);
    tabs.resize(400, 80);
    addTabs(tabs, 3);
    tabs.SetCurSel(0);
    const QImage shot = tabs.grab().toImage();
    // Inside the unselected tab 1, away from its borders: rows come in pairs of one colour.
    const QRect r = tabs.GetItemRect(1);
    const int x = r.left() + 2;
    const int top = r.top() + 1; // the border line takes the first row
    QColor previous;
    int changes = 0;
    for (int y = top + 1; y + 1 < r.bottom() - 2; y += 2) {
        // The band that starts at an even offset from the tab's top covers two rows.
        const int offset = y - r.top();
        if (offset % 2 != 0) continue;
        QCOMPARE(shot.pixelColor(x, y), shot.pixelColor(x, y + 1));
        if (previous.isValid() && shot.pixelColor(x, y) != previous) ++changes;
        previous = shot.pixelColor(x, y);
    }
    QVERIFY(changes >= 3);
    // The first band is the tab colour itself, the darkest near the bottom.
    const QColor first = shot.pixelColor(x, r.top() + 2);
    QCOMPARE(first,
             EnTabCtrl::GradientBand(tabs.GetTabColor(false), tabs.GradientEndColor(false), 2, r.height()));
}

void TabCtrlTest::lowColourDisplaysFillTabsFlat() {
    LowColourTabs tabs;
    useClassicPalette(tabs);
    tabs.SetBackgroundColor(QColor(255, 255, 255));
    tabs.SetDrawMode(2);
    EnTabCtrl::SetCustomLook(true, 0x1F);
    tabs.resize(400, 80);
    addTabs(tabs, 3);
    const QImage shot = tabs.grab().toImage();
    const QRect r = tabs.GetItemRect(2);
    const int x = r.left() + 2;
    for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
        QCOMPARE(shot.pixelColor(x, y), tabs.GetTabColor(false));
}

void TabCtrlTest::drawModeThreeIsRefused() {
    EnTabCtrl tabs;
    QVERIFY(tabs.SetDrawMode(2));
    QTest::ignoreMessage(QtWarningMsg, "BaseTabCtrl: draw mode 3 refused");
    QVERIFY(!tabs.SetDrawMode(3));
    QCOMPARE(tabs.GetDrawMode(), 2);
    QTest::ignoreMessage(QtWarningMsg, "BaseTabCtrl: draw mode -1 refused");
    QVERIFY(!tabs.SetDrawMode(-1));
    QCOMPARE(tabs.GetDrawMode(), 2);
}

void TabCtrlTest::selectedTabIsDrawnLastAndTaller() {
    EnTabCtrl tabs;
    useClassicPalette(tabs);
    tabs.SetBackgroundColor(QColor(40, 60, 80));
    tabs.SetDrawMode(2);
    EnTabCtrl::SetCustomLook(true, EnTabCtrl::Color | EnTabCtrl::Selection); // flat fills, no gradient
    tabs.resize(400, 80);
    addTabs(tabs, 3);
    tabs.SetCurSel(1);
    const QImage shot = tabs.grab().toImage();
    const QRect sel = tabs.GetItemRect(1);
    const QRect other = tabs.GetItemRect(2);
    // Two pixels above the row of tabs belong to the selected tab only (below its light top border).
    QCOMPARE(shot.pixelColor(sel.center().x(), sel.top() - 1), tabs.GetTabColor(true));
    QCOMPARE(shot.pixelColor(other.center().x(), other.top() - 1), tabs.GetBackgroundColor());
    // It reaches down over the main border's top line; an unselected tab does not.
    const int borderRow = tabs.displayRect().top() - 2;
    QCOMPARE(shot.pixelColor(sel.center().x(), borderRow), tabs.GetTabColor(true));
    QCOMPARE(shot.pixelColor(other.center().x(), borderRow), EnTabCtrl::Light(tabs.GetTabColor(false), 1.5));
    // The selected tab's left edge is a light line, its right edge dark.
    QCOMPARE(shot.pixelColor(sel.left(), sel.center().y()), EnTabCtrl::Light(tabs.GetTabColor(true), 1.5));
    QCOMPARE(shot.pixelColor(sel.right(), sel.center().y()), EnTabCtrl::Dark(tabs.GetTabColor(true), 0.75));
}

void TabCtrlTest::clicksAndArrowsSelectAndNotifyButSetCurSelDoesNot() {
    EnTabCtrl tabs;
    tabs.resize(400, 80);
    addTabs(tabs, 4);
    QSignalSpy changed(&tabs, &BaseTabCtrl::selectionChanged);
    QCOMPARE(tabs.GetCurSel(), 0);
    QCOMPARE(tabs.SetCurSel(2), 0);
    QCOMPARE(tabs.SetCurSel(9), -1);
    QCOMPARE(tabs.GetCurSel(), 2);
    QCOMPARE(changed.count(), 0);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.GetItemRect(3).center());
    QCOMPARE(tabs.GetCurSel(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 3);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.GetItemRect(3).center()); // already selected
    QCOMPARE(changed.count(), 1);
    QTest::keyClick(&tabs, Qt::Key_Left);
    QCOMPARE(tabs.GetCurSel(), 2);
    QCOMPARE(changed.count(), 2);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(390, 70)); // the display area
    QCOMPARE(changed.count(), 2);
}

void TabCtrlTest::itemsKeepTheSelectionWhenInsertedBeforeIt() {
    EnTabCtrl tabs;
    tabs.resize(600, 80);
    QCOMPARE(tabs.GetCurSel(), -1);
    addTabs(tabs, 3);
    tabs.SetCurSel(1);
    tabs.InsertItem(0, QStringLiteral("first"));
    QCOMPARE(tabs.GetCurSel(), 2);
    QCOMPARE(tabs.GetItemText(2), QStringLiteral(" Gain "));
    QVERIFY(tabs.DeleteItem(0));
    QCOMPARE(tabs.GetCurSel(), 1);
    tabs.DeleteAllItems();
    QCOMPARE(tabs.GetItemCount(), 0);
    QCOMPARE(tabs.GetCurSel(), -1);
    // Tabs that do not fit share the width.
    tabs.resize(200, 80);
    addTabs(tabs, 6);
    QVERIFY(tabs.GetItemRect(5).right() < 200);
    QVERIFY(tabs.GetItemRect(4).right() < tabs.GetItemRect(5).left());
}

void TabCtrlTest::baseOwnerDrawingWithoutOverridesWarns() {
    BaseTabCtrl base;
    base.resize(300, 60);
    addTabs(base, 2);
    QVERIFY(base.SetDrawMode(2));
    QTest::ignoreMessage(QtWarningMsg,
                         "BaseTabCtrl: DrawMainBorder must be supplied by a subclass for draw mode 2");
    base.grab();
    base.grab(); // warned once only
}

void TabCtrlTest::renderTabBars() {
    // The main window's tab bar in configuration 7, as the main window sets it up (white background,
    // owner drawing, every look flag), plus the draw modes 0 and 1 and a dark variant, stacked.
    const QStringList labels = {" Home ", " Gain ", "Delay",  "GEQ A",  "GEQ B",  "GEQ C",  "GEQ D",
                                " IN A ", " IN B ", " IN C ", " IN D ", " OUT 1", " OUT 2", " OUT 3",
                                " OUT 4", " OUT 5", " OUT 6", " OUT 7", " OUT 8"};
    struct Variant {
        int mode;
        unsigned flags;
        bool editorPalette; // the palette module's tab colours instead of the classic grey
    };
    const Variant variants[] = {{2, 0x1F, false}, {2, 0x1F, true}, {0, 0, false}, {1, 0x1F, false}};
    const int count = int(std::size(variants));
    QImage sheet(1100, count * 70, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(palette::kPage);
    QPainter p(&sheet);
    for (int i = 0; i < count; ++i) {
        EnTabCtrl tabs;
        tabs.setFont(palette::uiFont(12));
        if (variants[i].editorPalette) {
            QPalette pal = tabs.palette();
            pal.setColor(QPalette::Button, palette::kTabButtonFace);
            pal.setColor(QPalette::WindowText, palette::kTabWindowText);
            pal.setColor(QPalette::Window, palette::kPage);
            tabs.setPalette(pal);
        } else {
            useClassicPalette(tabs);
        }
        tabs.SetDrawMode(variants[i].mode);
        tabs.SetBackgroundColor(palette::kTabBackground);
        EnTabCtrl::SetCustomLook(true, variants[i].flags);
        tabs.resize(1100, 60);
        for (int t = 0; t < labels.size(); ++t) tabs.InsertItem(t, labels[t]);
        tabs.SetCurSel(i == 0 ? 0 : 8);
        p.drawImage(0, i * 70, tabs.grab().toImage());
    }
    p.end();
    QVERIFY(test::saveRender(sheet, QStringLiteral("tabs.png")));
    QVERIFY(test::saveRender(test::magnified(sheet.copy(0, 0, 300, 140), 3),
                             QStringLiteral("tabs-detail-3x.png")));
}

QTEST_MAIN(TabCtrlTest)
#include "TabCtrlTest.moc"
