// Renders the Input, Output and Graphic EQ pages above the response graph, in English and Chinese, with
// shelves, an active crossover, a bypassed equaliser and a drag in progress, for a person to look at;
// and checks that every caption, value and list item fits its control in both languages.
#include "controls/RenderOutput.h"
#include "pages/PageTestSupport.h"

#include "ui/app/LanguageManager.h"
#include "ui/app/VelmarApp.h"
#include "ui/artwork/Palette.h"
#include "ui/graph/CFStatic.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/OutputDlg.h"

#include <QLabel>
#include <QPainter>

using namespace velmar;
using namespace velmar::test;

namespace {

// The page in the main window's short rectangle with the graph below it, as the window shows them.
struct Scene {
    PageRig rig;
    CFStatic* graph = nullptr;

    Scene() {
        rig.host.resize(1100, 700);
        QPalette p = rig.host.palette();
        p.setColor(QPalette::Window, palette::kPage);
        rig.host.setPalette(p);
        rig.host.setAutoFillBackground(true);
        rig.focusSink->hide();
        graph = new CFStatic(rig.core(), &rig.host);
        graph->setGeometry(6, 360, 1088, 330);
        graph->InitPlot();
        if (auto* timer = graph->findChild<QTimer*>(QStringLiteral("graphTimer"))) timer->stop();
        rig.core().meterLevels.inputLevel[0] = 96;
        rig.core().meterLevels.inputLevel[1] = 88;
    }
    template <class Page> Page* Make(int channel) {
        rig.app->currentChannel = uint8_t(channel);
        rig.core().selectedOutputChannel = uint8_t(channel);
        auto* page = new Page(*rig.app, &rig.host);
        page->setGeometry(8, 4, 1084, 351);
        rig.Show();
        page->Refresh();
        return page;
    }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent e(type, QPointF(p), graph->mapToGlobal(QPointF(p)), b, bs, Qt::NoModifier);
        QCoreApplication::sendEvent(graph, &e);
    }
    // Holds a point dragged from `from` to `to`: the render shows the drag in progress.
    void Drag(const Rect& mark, QPoint to) {
        const Point c = mark.Centre();
        const QPoint from(c.x, c.y);
        Mouse(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    }
    QImage Render() {
        QCoreApplication::processEvents();
        return rig.host.grab().toImage();
    }
};

void InputScene(InputBlock& in) {
    in.soundOn = 1;
    in.gain = 330;
    in.delay = 520;
    in.peq[0] = PeqBand{120, 260, 0, 1, 1};   // low shelf +6 dB, 12 dB/oct
    in.peq[4] = PeqBand{640, 235, 95, 0, 0};  // +3.5 dB, Q 1.414
    in.peq[6] = PeqBand{2500, 170, 60, 0, 0}; // -3 dB
    in.peq[9] = PeqBand{9000, 160, 0, 0, 2};  // high shelf -4 dB
}

void OutputScene(OutputBlock& out) {
    out.gain = 372;
    out.delay = 140;
    out.polarity = 0;
    out.hpfFreq = 80, out.hpfType = 1, out.hpfSlope = 1;    // ButterW 18dB
    out.lpfFreq = 12000, out.lpfType = 0, out.lpfSlope = 1; // Lin-Ril 24dB
    out.peq[0] = PeqBand{100, 250, 0, 0, 1};
    out.peq[3] = PeqBand{400, 150, 40, 0, 0};
    out.peq[7] = PeqBand{6000, 230, 130, 0, 0};
    out.compThreshold = 36, out.compAttack = 17, out.compRelease = 2, out.compRatio = 3;
}

void GeqScene(InputBlock& in) {
    const int shape[kGeqBandCount] = {260, 250, 240, 230, 220, 210, 205, 200, 195, 190, 185,
                                      180, 180, 185, 190, 200, 205, 210, 215, 225, 235, 240,
                                      245, 240, 230, 220, 215, 210, 205, 200, 195};
    for (int b = 0; b < kGeqBandCount; ++b) in.geq[b] = int16_t(shape[b]);
}

// Every text of the page fits the control that shows it.
void VerifyTextsFit(QWidget* page) {
    for (QLabel* l : page->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || l->isHidden()) continue;
        const int need = l->fontMetrics().horizontalAdvance(l->text());
        QVERIFY2(need <= l->width(),
                 qPrintable(
                     QStringLiteral("label \"%1\" needs %2 of %3").arg(l->text()).arg(need).arg(l->width())));
    }
    for (QPushButton* b : page->findChildren<QPushButton*>()) {
        if (b->isHidden()) continue;
        const int need = b->fontMetrics().horizontalAdvance(b->text()) + 8;
        QVERIFY2(
            need <= b->width(),
            qPrintable(
                QStringLiteral("button \"%1\" needs %2 of %3").arg(b->text()).arg(need).arg(b->width())));
    }
    for (QLineEdit* e : page->findChildren<QLineEdit*>()) {
        if (e->isHidden()) continue;
        const int need = e->fontMetrics().horizontalAdvance(e->text()) + 10;
        QVERIFY2(need <= e->width(),
                 qPrintable(
                     QStringLiteral("entry \"%1\" needs %2 of %3").arg(e->text()).arg(need).arg(e->width())));
    }
    for (QComboBox* c : page->findChildren<QComboBox*>()) {
        if (c->isHidden()) continue;
        for (int i = 0; i < c->count(); ++i) {
            const int need = c->fontMetrics().horizontalAdvance(c->itemText(i)) + 24; // frame and arrow
            QVERIFY2(need <= c->width(), qPrintable(QStringLiteral("list item \"%1\" needs %2 of %3")
                                                        .arg(c->itemText(i))
                                                        .arg(need)
                                                        .arg(c->width())));
        }
    }
}

} // namespace

class PageRenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The application's own style, palette and font, as the window has them.
        CVelmarApp::ApplyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void rendersEachPageInEachLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("code");
        QTest::newRow("en") << 0 << "en";
        QTest::newRow("zh") << 1 << "zh";
    }
    void rendersEachPageInEachLanguage() {
        QFETCH(int, language);
        QFETCH(QString, code);
        LanguageManager languages;
        QVERIFY(languages.apply(uint8_t(language)));
        {
            Scene s;
            s.rig.core().languageFlag = uint8_t(language);
            InputScene(s.rig.image().inputs[0]);
            auto* page = s.Make<CInputDlg>(0);
            page->MeterTick();
            Click(page->BandTable()->row(6).bypass); // a bypassed band
            s.graph->ShowInputCurves(0);
            s.Drag(inputEqCurves[0].Filter(4).markerRect, QPoint(560, 120));
            VerifyTextsFit(page);
            const QImage input = s.Render();
            QVERIFY(saveRender(input, QStringLiteral("pages-input-%1.png").arg(code)));
            // Pixels to judge by eye: the gain and delay zones and the first band rows, twice the size.
            QVERIFY(saveRender(magnified(input.copy(0, 0, 560, 180), 2),
                               QStringLiteral("pages-input-detail-%1.png").arg(code)));
            Click(page->EqBypassButton());
            s.graph->Redraw(-1);
            QVERIFY(saveRender(s.Render(), QStringLiteral("pages-input-bypassed-%1.png").arg(code)));
        }
        {
            Scene s;
            s.rig.core().languageFlag = uint8_t(language);
            s.rig.core().meterLevels.selectedOutputLevel = 0x80 | 100;
            OutputScene(s.rig.image().outputs[1]);
            auto* page = s.Make<COutputDlg>(1);
            page->MeterTick();
            s.graph->SetChannelPageKind(4);
            s.graph->ShowOutputCurves(1);
            s.Drag(outputEqCurves[1].LowPass().markerRect, QPoint(880, 250));
            VerifyTextsFit(page);
            const QImage output = s.Render();
            QVERIFY(saveRender(output, QStringLiteral("pages-output-%1.png").arg(code)));
            QVERIFY(saveRender(magnified(output.copy(560, 0, 540, 180), 2),
                               QStringLiteral("pages-output-detail-%1.png").arg(code)));
            s.Mouse(QEvent::MouseButtonRelease, QPoint(880, 250), Qt::LeftButton, Qt::NoButton);
            Click(page->EqBypassButton());
            s.graph->Redraw(-1);
            QVERIFY(saveRender(s.Render(), QStringLiteral("pages-output-bypassed-%1.png").arg(code)));
        }
        {
            Scene s;
            s.rig.core().languageFlag = uint8_t(language);
            GeqScene(s.rig.image().inputs[1]);
            auto* page = s.Make<CGEQDlg>(1);
            s.graph->ShowGeqCurves(1);
            s.Drag(inputGeqCurves[1].Filter(8).markerRect, QPoint(300, 80));
            VerifyTextsFit(page);
            QVERIFY(saveRender(s.Render(), QStringLiteral("pages-geq-%1.png").arg(code)));
            s.Mouse(QEvent::MouseButtonRelease, QPoint(300, 80), Qt::LeftButton, Qt::NoButton);
            Click(page->BypassButton());
            s.graph->Redraw(-1);
            QVERIFY(saveRender(s.Render(), QStringLiteral("pages-geq-bypassed-%1.png").arg(code)));
        }
        QVERIFY(languages.apply(0));
    }
};

QTEST_MAIN(PageRenderTest)
#include "PageRenderTest.moc"
