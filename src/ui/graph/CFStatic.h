// CFStatic: the response graph below the tab pages. It draws the shown channel's curve set and edits its
// bands and crossover points with the mouse, the arrow keys and the wheel, and its 100 ms timer drives
// the link supervision.
//
// Threading: the UI thread only, like the core it ticks and the curve sets it draws.
//
// Ownership: the graph draws one of the global curve sets (inputEqCurves, inputGeqCurves,
// outputEqCurves) and keeps a pointer to it; the sets live until exit. One graph per application: it
// gives every set its plotting area. The CoreState must outlive the graph.
#pragma once

#include "core/CoreState.h"
#include "dsp/Geometry.h"

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QTimer;

namespace velmar {

class CFilter;
class CKTVEQ;

class CFStatic : public QWidget {
    Q_OBJECT

public:
    // Which curve set is shown; also the kind carried by pointChanged.
    static constexpr int kModeNone = 0;
    static constexpr int kModeGeq = 2;
    static constexpr int kModeInputEq = 3;
    static constexpr int kModeOutput = 4;

    static constexpr int kGridLineCount = 27;
    static constexpr int kTickMs = 100;
    // Ticks a change waits before it is notified: a continuous drag reaches the page every 200 ms.
    static constexpr int kNotifyTicks = 2;
    static constexpr size_t kMaxNoticesInFlight = 16;
    // A graph that fits below the channel pages of the 1100 x 781 main window.
    static constexpr int kPreferredWidth = 1063;
    static constexpr int kPreferredHeight = 330;

    explicit CFStatic(CoreState& core, QWidget* parent = nullptr);
    ~CFStatic() override;

    // The window the change notifications are meant for. Until one is set the timer counts no change
    // (a change made before waits). The graph does not connect anything itself: the owner connects
    // pointChanged to its 0x464 handler.
    void SetOwner(QObject* owner);
    // Sets core.hooks.clearGraphPendingEdit to ClearPendingEdit; the destructor empties it again.
    void InstallPendingEditHook();

    // Places the plotting area and the grid from the current size, gives every curve set its plotting
    // area and starts the 100 ms timer. Call once, after BuildCurveSets. Later resizes re-place them.
    void InitPlot();

    // Show a channel's set: the graphic equaliser or the parametric equaliser of input 0..3, or output
    // 0..7. A change not yet notified is notified first, for the set it was made on. The filter under
    // attention is forgotten. Other channels are ignored.
    void ShowGeqCurves(int channel);
    void ShowInputCurves(int channel);
    void ShowOutputCurves(int channel);

    // Draws the set with filter `index` shaded and labelled (0..9 a band, 10/11 an output's high-pass
    // and low-pass, -1 the filter under attention).
    void Redraw(int index);

    // channelPageKind of the main window: 1 input page, 4 output page, 0 none chosen yet.
    void SetChannelPageKind(int kind) { channelPageKind_ = kind; }
    int ChannelPageKind() const { return channelPageKind_; }

    // Called by the scheduler on every parameter-write step (its clearGraphPendingEdit hook). A graph
    // change reaches the image only when the page takes it from the notification, so the write on the
    // wire cannot carry it: the change stays pending and is notified on its due tick.
    void ClearPendingEdit();
    // Notifies a pending change now, for the set, channel and filter it was made on.
    void FlushPendingChange();

    // A change made on the graph: filter `index` of the set of `kind` (a mode) and `channel`.
    struct Change {
        int index;
        int kind;
        int channel;
        bool operator==(const Change&) const = default;
    };
    // The changes of one set the image has not taken yet, handed over at once and forgotten: the pending
    // one (no notice will follow for it) and those whose queued notice has not arrived (the notice is
    // then dropped by NoticeArrived). A page calls it before it reloads that set from the image or
    // edits the image under it, so the last step of a drag is never overwritten by the value it
    // replaced.
    std::vector<Change> TakeChanges(int kind, int channel);
    // The receiver of pointChanged calls it when the notice arrives: false when a page took the change
    // already (the notice is to be ignored), true otherwise.
    bool NoticeArrived(int index, int kind, int channel);

    int Mode() const { return mode_; }
    int Channel() const { return channel_; }
    CKTVEQ* CurrentSet() const { return set_; }
    // The filter under attention, or null.
    CFilter* HotFilter() const;
    // Index of the filter under attention (or of the last one), as carried by the notification.
    int HotIndex() const { return hotIndex_; }
    int ActiveIndex() const { return activeIndex_; }
    bool OverMark() const { return overMark_; }
    bool HasPendingChange() const { return pending_; }
    // Plotting area in control coordinates (right and bottom just outside) and the vertical grid lines.
    Rect PlotRect() const { return plot_; }
    const std::array<int, kGridLineCount>& GridX() const { return gridX_; }
    bool TimerRunning() const;
    int TimerInterval() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // One step of the 100 ms timer: the change notification, then LinkSupervisionTick. Tests drive time
    // through it.
    void TimerTick();

signals:
    // The 0x464 route: filter `index` of the shown set was changed on the graph; kind 2 graphic
    // equaliser, 3 input equaliser, 4 output. `channel` is the channel of the set the change was made
    // on: a receiver that is reached after the pages have moved to another channel routes by it.
    void pointChanged(int index, int kind, int channel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Only while the graph has the focus (a click on it gives it): a wheel turned over it on the way
    // elsewhere goes on to the parent and changes no band.
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PlaceGeometry();
    void ShowSet(int mode, CKTVEQ* set, int channel);
    void SetHot(int index);
    void StepDone(bool changed);
    void UpdateCursor();
    bool DragInProgress() const;

    void MouseMove(Point p);
    void FindMark(Point p);
    void CrossoverMove(CFilter& h, Point p);
    bool PointDrag(CFilter& h, Point p);
    bool BandwidthDrag(CFilter& h, int x, bool left);
    bool CrossoverDrag(CFilter& h, Point p);
    bool KeyStep(CFilter& h, int key);
    bool GainStep(CFilter& h, int step);
    bool CrossoverPinned() const;

    void DrawAxes(QPainter& p) const;
    void DrawBase(QPainter& p) const;
    void DrawGrid(QPainter& p) const;
    void DrawCurves(QPainter& p) const;
    void DrawBandNumbers(QPainter& p) const;
    CFilter* ActiveFilter() const;
    bool ShowsCurves() const { return mode_ != kModeNone && set_ && initialised_; }
    const QPixmap& Base(qreal dpr);
    void CurveKey(std::vector<uint32_t>& key) const;

    CoreState& core_;
    QPointer<QObject> owner_;
    QTimer* timer_ = nullptr;
    bool hookInstalled_ = false;
    bool initialised_ = false;

    Rect plot_{};
    std::array<int, kGridLineCount> gridX_{};

    int mode_ = kModeNone;
    CKTVEQ* set_ = nullptr;
    int channel_ = 0;
    int hot_ = -1; // index of the filter under attention in set_, -1 none
    int hotIndex_ = 0;
    int activeIndex_ = -1;
    bool overMark_ = false;
    bool pending_ = false; // a change not yet notified
    // Notified changes whose queued notice has not arrived, and those of them already taken.
    std::vector<Change> inFlight_;
    std::vector<Change> taken_;
    uint8_t changeTicks_ = 0;
    int16_t wheelSum_ = 0;
    int channelPageKind_ = 0;
    // The filter a button press started dragging; its flags are cleared on release even when another
    // set was shown meanwhile.
    CKTVEQ* dragSet_ = nullptr;
    int dragIndex_ = -1;

    // What stays the same from one frame to the next, drawn once for the device pixel ratio: the axes,
    // the plot and its grid (baseKey_ names the size, ratio and state it was drawn for), and that with
    // the sum curve and band numbers on it while no filter is shaded (for the curves in frameKey_).
    struct BaseKey {
        QSize size;
        qreal dpr = 0;
        bool initialised = false;
        bool curves = false;
        Rect plot;
        bool operator==(const BaseKey&) const = default;
    };
    QPixmap base_;
    BaseKey baseKey_;
    QPixmap frame_;
    std::vector<uint32_t> frameKey_;
    std::vector<uint32_t> keyScratch_;
};

} // namespace velmar
