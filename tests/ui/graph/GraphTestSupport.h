// A response graph on freshly built curve sets, with its timer stopped so tests drive time, and the
// mouse, key and wheel events the tests send it.
#pragma once

#include "core/Image.h"
#include "dsp/CurveSets.h"
#include "ui/graph/CFStatic.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

namespace velmar::test {

struct GraphRig {
    std::unique_ptr<CoreState> core = std::make_unique<CoreState>();
    QObject owner;
    std::unique_ptr<CFStatic> graph;

    explicit GraphRig(bool withOwner = true) {
        InitCoreState(*core);
        BuildCurveSets(*core);
        graph = std::make_unique<CFStatic>(*core);
        graph->resize(CFStatic::kPreferredWidth, CFStatic::kPreferredHeight);
        if (withOwner) graph->SetOwner(&owner);
        graph->InitPlot();
        // Time is driven by calling TimerTick.
        if (auto* timer = graph->findChild<QTimer*>(QStringLiteral("graphTimer"))) timer->stop();
    }

    // Shows the graph as the active window with the keyboard focus, as a click on it leaves it.
    bool Focus() {
        graph->show();
        graph->activateWindow();
        if (!QTest::qWaitForWindowActive(graph.get())) return false;
        graph->setFocus(Qt::MouseFocusReason);
        return graph->hasFocus();
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) graph->TimerTick();
    }

    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), graph->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(graph.get(), &e);
    }
    void Hover(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void DragTo(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void Press(QPoint p) { Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void Release(QPoint p) { Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    // Hover, press and move: a whole drag up to the button still held.
    void Grab(QPoint from, QPoint to) {
        Hover(from);
        Press(from);
        DragTo(to);
    }

    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(graph.get(), &e);
    }
    void Wheel(int delta, QPoint p = {500, 100}) {
        QWheelEvent e(QPointF(p), graph->mapToGlobal(QPointF(p)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(graph.get(), &e);
    }
};

inline QPoint Centre(const Rect& r) {
    const Point c = r.Centre();
    return {c.x, c.y};
}

// Puts a band into input `ch`'s image and its curve set, as a page does.
inline void SetInputBand(CoreState& s, int ch, int band, PeqBand b) {
    s.image.inputs[ch].peq[band] = b;
    RefreshCurveSet(s, kCurveSetInputEq, ch);
}

inline void SetOutputBand(CoreState& s, int ch, int band, PeqBand b) {
    s.image.outputs[ch].peq[band] = b;
    RefreshCurveSet(s, kCurveSetOutput, ch);
}

} // namespace velmar::test
