// GraphPlaceholder: stands where the response graph goes until it is built, with the graph's interface.
#pragma once

#include "core/CoreState.h"

#include <QTimer>
#include <QWidget>

namespace velmar {

// Offers the calls the main window and the pages make on the response graph, draws a frame with the
// name of the shown curve set, and runs the 100 ms timer that drives the link supervision, so the
// application works in full without the real graph. UI thread only; the CoreState must outlive it.
class GraphPlaceholder : public QWidget {
    Q_OBJECT

public:
    static constexpr int kModeNone = 0;
    static constexpr int kModeGeq = 2;
    static constexpr int kModeInputEq = 3;
    static constexpr int kModeOutput = 4;
    static constexpr int kTickMs = 100;
    static constexpr int kPreferredWidth = 1063;
    static constexpr int kPreferredHeight = 330;

    explicit GraphPlaceholder(CoreState& core, QWidget* parent = nullptr);
    ~GraphPlaceholder() override;

    void SetOwner(QObject* owner) { m_owner = owner; }
    // Sets core.hooks.clearGraphPendingEdit (nothing is ever pending here); the destructor empties it.
    void InstallPendingEditHook();
    // Starts the 100 ms timer.
    void InitPlot();
    void ShowGeqCurves(int channel) { show(kModeGeq, channel); }
    void ShowInputCurves(int channel) { show(kModeInputEq, channel); }
    void ShowOutputCurves(int channel) { show(kModeOutput, channel); }
    void Redraw(int) { update(); }
    void SetChannelPageKind(int kind) { m_channelPageKind = kind; }
    int ChannelPageKind() const { return m_channelPageKind; }
    void ClearPendingEdit() {}
    void FlushPendingChange() {}

    int Mode() const { return m_mode; }
    int Channel() const { return m_channel; }
    bool TimerRunning() const { return m_timer.isActive(); }
    int TimerInterval() const { return m_timer.interval(); }

    QSize sizeHint() const override { return {kPreferredWidth, kPreferredHeight}; }

public slots:
    // One 100 ms step: the link supervision.
    void TimerTick();

signals:
    // The 0x464 route of a graph edit; never emitted by the placeholder.
    void pointChanged(int index, int kind, int channel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void show(int mode, int channel);

    CoreState& m_core;
    QObject* m_owner = nullptr;
    QTimer m_timer{this}; // a child, so owners can find every timer of the graph
    bool m_hookInstalled = false;
    int m_mode = kModeNone;
    int m_channel = 0;
    int m_channelPageKind = 0;
};

} // namespace velmar
