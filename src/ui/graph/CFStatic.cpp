// CFStatic: drawing, mouse, key, wheel and timer handling of the response graph.
#include "ui/graph/CFStatic.h"

#include "core/ReplyParser.h"
#include "core/ValueScales.h"
#include "dsp/CurveSets.h"
#include "dsp/KTVEQ.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <bit>
#include <cmath>

namespace velmar {

namespace {

constexpr int kRightMargin = 20;
constexpr int kBottomMargin = 20;
constexpr int kMinFreq = 20;
constexpr int kMaxFreq = 20000;
constexpr int kWheelNotch = 120;
constexpr int kTopRowY = 8; // a point dragged to the top edge is taken 8 pixels down
constexpr double kMinOctaves = 0.05;
constexpr double kMaxOctaves = 3.0;
// Curve points further outside the plot than this are drawn at this distance: clipped away either way,
// and the rasteriser never sees the million-pixel coordinates of a -3000 dB response.
constexpr double kCurveOverdraw = 4000.0;

constexpr int kGridFreqs[CFStatic::kGridLineCount] = {20,   30,   40,   50,   60,   70,   80,   90,   100,
                                                      200,  300,  400,  500,  600,  700,  800,  900,  1000,
                                                      2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000};

struct FreqText {
    int freq;
    int offset;
    const char* text;
};
constexpr FreqText kFreqTexts[] = {{50, 8, "50"},    {100, 10, "100"},   {200, 10, "200"},
                                   {500, 10, "500"}, {1000, 8, "1K"},    {2000, 8, "2K"},
                                   {5000, 8, "5K"},  {10000, 10, "10K"}, {20000, 15, "20K"}};

const QColor kAxisBorder(100, 100, 100);
const QColor kAxisText(150, 150, 150);
const QColor kPlotBorder(62, 62, 62);
const QColor kGridLine(60, 60, 60);
const QColor kShade(68, 86, 98);

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

Point ToPoint(const QPointF& p) {
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

bool IsCrossover(const CFilter& f) {
    return f.Kind() == kHighPass || f.Kind() == kLowPass;
}

// White text with a one-pixel black rim, so band numbers and labels stay readable where the curve runs
// through them; the background stays transparent.
void DrawRimmedText(QPainter& p, const QRect& r, int flags, const QString& text) {
    p.setPen(Qt::black);
    for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        p.drawText(r.translated(d), flags, text);
    p.setPen(Qt::white);
    p.drawText(r, flags, text);
}

QFont GraphFont(bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

CFStatic::CFStatic(CoreState& core, QWidget* parent) : QWidget(parent), core_(core) {
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("graphTimer"));
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &CFStatic::TimerTick);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
}

CFStatic::~CFStatic() {
    if (hookInstalled_) core_.hooks.clearGraphPendingEdit = nullptr;
}

void CFStatic::SetOwner(QObject* owner) {
    owner_ = owner;
}

void CFStatic::InstallPendingEditHook() {
    core_.hooks.clearGraphPendingEdit = [this] { ClearPendingEdit(); };
    hookInstalled_ = true;
}

QSize CFStatic::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

QSize CFStatic::minimumSizeHint() const {
    return {kPlotLeftMargin + kRightMargin + 300, kPlotTopMargin + kBottomMargin + 120};
}

bool CFStatic::TimerRunning() const {
    return timer_->isActive();
}

int CFStatic::TimerInterval() const {
    return timer_->interval();
}

CFilter* CFStatic::HotFilter() const {
    if (!set_ || hot_ < 0 || hot_ >= set_->Count()) return nullptr;
    return &set_->Filter(hot_);
}

// ---------------------------------------------------------------------------------------------------------
// Geometry and the sets shown

void CFStatic::PlaceGeometry() {
    const int w = std::max(width() - kPlotLeftMargin - kRightMargin, 0);
    const int h = std::max(height() - kPlotTopMargin - kBottomMargin, 0);
    plot_ = {kPlotLeftMargin, kPlotTopMargin, kPlotLeftMargin + w, kPlotTopMargin + h};
    for (int k = 0; k < kGridLineCount; ++k) gridX_[k] = GraphXFromFreq(kGridFreqs[k], w) + kPlotLeftMargin;
}

void CFStatic::InitPlot() {
    PlaceGeometry();
    for (auto& set : inputEqCurves) set.SetPlotSize(plot_);
    for (auto& set : inputGeqCurves) set.SetPlotSize(plot_);
    for (auto& set : outputEqCurves) set.SetPlotSize(plot_);
    initialised_ = true;
    timer_->start();
    update();
}

void CFStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!initialised_) return;
    const Rect before = plot_;
    PlaceGeometry();
    if (plot_ == before) return;
    for (auto& set : inputEqCurves) set.SetPlotSize(plot_);
    for (auto& set : inputGeqCurves) set.SetPlotSize(plot_);
    for (auto& set : outputEqCurves) set.SetPlotSize(plot_);
}

void CFStatic::ShowGeqCurves(int channel) {
    if (channel >= 0 && channel < kInputCount) ShowSet(kModeGeq, &inputGeqCurves[channel], channel);
}

void CFStatic::ShowInputCurves(int channel) {
    if (channel >= 0 && channel < kInputCount) ShowSet(kModeInputEq, &inputEqCurves[channel], channel);
}

void CFStatic::ShowOutputCurves(int channel) {
    if (channel >= 0 && channel < kOutputCount) ShowSet(kModeOutput, &outputEqCurves[channel], channel);
}

void CFStatic::ShowSet(int mode, CKTVEQ* set, int channel) {
    // Whatever the user changed on the set shown so far is handed over before the set goes away, so
    // the notification names the set it was made on.
    FlushPendingChange();
    mode_ = mode;
    set_ = set;
    channel_ = channel;
    hot_ = -1;
    overMark_ = false;
    wheelSum_ = 0;
    UpdateCursor();
    Redraw(-1);
}

void CFStatic::Redraw(int index) {
    activeIndex_ = index;
    update();
}

// ---------------------------------------------------------------------------------------------------------
// Change notification and the timer

void CFStatic::StepDone(bool changed) {
    if (changed) pending_ = true;
    update();
}

void CFStatic::SetHot(int index) {
    // A change still pending belongs to the filter it was made on: notify it before attention moves,
    // or it would be reported under the new filter's index.
    if (pending_ && index != hotIndex_) FlushPendingChange();
    if (CFilter* old = HotFilter(); old && hot_ != index)
        old->hoverPoint = old->hoverLeft = old->hoverRight = 0;
    hot_ = index;
    hotIndex_ = index;
}

void CFStatic::ClearPendingEdit() {
    // Deliberately keeps pending_: see the header.
}

void CFStatic::FlushPendingChange() {
    if (!pending_) return;
    pending_ = false;
    changeTicks_ = 0;
    // A receiver takes each notice on the next pass of the event loop; one that never does (a graph
    // shown without the main window) must not make the list grow without end.
    if (inFlight_.size() >= kMaxNoticesInFlight) inFlight_.erase(inFlight_.begin());
    inFlight_.push_back({hotIndex_, mode_, channel_});
    emit pointChanged(hotIndex_, mode_, channel_);
}

std::vector<CFStatic::Change> CFStatic::TakeChanges(int kind, int channel) {
    std::vector<Change> changes;
    for (auto it = inFlight_.begin(); it != inFlight_.end();) {
        if (it->kind == kind && it->channel == channel) {
            changes.push_back(*it);
            taken_.push_back(*it);
            it = inFlight_.erase(it);
        } else {
            ++it;
        }
    }
    if (pending_ && mode_ == kind && channel_ == channel) {
        pending_ = false;
        changeTicks_ = 0;
        changes.push_back({hotIndex_, mode_, channel_});
    }
    return changes;
}

bool CFStatic::NoticeArrived(int index, int kind, int channel) {
    const Change c{index, kind, channel};
    if (auto it = std::find(taken_.begin(), taken_.end(), c); it != taken_.end()) {
        taken_.erase(it);
        return false;
    }
    if (auto it = std::find(inFlight_.begin(), inFlight_.end(), c); it != inFlight_.end())
        inFlight_.erase(it);
    return true;
}

void CFStatic::TimerTick() {
    if (owner_ && pending_ && ++changeTicks_ >= kNotifyTicks) FlushPendingChange();
    LinkSupervisionTick(core_);
}

// ---------------------------------------------------------------------------------------------------------
// Mouse

bool CFStatic::DragInProgress() const {
    const CFilter* h = HotFilter();
    return h && (h->dragPoint || h->dragLeft || h->dragRight);
}

void CFStatic::UpdateCursor() {
    // The move cursor also stays for the whole of a drag: the pointer may run ahead of the mark it holds.
    setCursor(overMark_ || DragInProgress() ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void CFStatic::mouseMoveEvent(QMouseEvent* event) {
    MouseMove(ToPoint(event->position()));
    UpdateCursor();
}

void CFStatic::MouseMove(Point p) {
    if (mode_ == kModeNone || !set_) return;
    CFilter* h = HotFilter();
    if (!h) {
        FindMark(p);
        return;
    }
    if (IsCrossover(*h)) {
        CrossoverMove(*h, p);
        return;
    }
    const bool inPoint = h->markerRect.Contains(p);
    if (!inPoint && h->dragPoint) {
        overMark_ = false;
        StepDone(PointDrag(*h, p));
        return;
    }
    if (inPoint) {
        h->hoverPoint = 1;
        h->hoverLeft = h->hoverRight = 0;
        overMark_ = true;
        if (h->dragPoint) StepDone(PointDrag(*h, p));
        return;
    }
    // Only a peaking band that may move shows and drags its bandwidth handles.
    if (h->Kind() == kPeaking && !h->FrequencyLocked()) {
        const bool inLeft = h->leftHandle.Contains(p);
        if (!inLeft && h->dragLeft) {
            overMark_ = false;
            StepDone(BandwidthDrag(*h, p.x, true));
            return;
        }
        if (inLeft) {
            h->hoverLeft = 1;
            h->hoverPoint = h->hoverRight = h->dragRight = 0;
            overMark_ = true;
            if (h->dragLeft) StepDone(BandwidthDrag(*h, p.x, true));
            return;
        }
        const bool inRight = h->rightHandle.Contains(p);
        if (!inRight && h->dragRight) {
            overMark_ = false;
            StepDone(BandwidthDrag(*h, p.x, false));
            return;
        }
        if (inRight) {
            h->hoverRight = 1;
            h->hoverPoint = h->hoverLeft = h->dragLeft = 0;
            overMark_ = true;
            if (h->dragRight) StepDone(BandwidthDrag(*h, p.x, false));
            return;
        }
    }
    FindMark(p);
}

void CFStatic::FindMark(Point p) {
    for (int i = 0; i < set_->Count(); ++i) {
        CFilter& f = set_->Filter(i);
        if (!f.markerRect.Contains(p)) continue;
        SetHot(i);
        f.hoverPoint = 1;
        Redraw(-1);
        overMark_ = true;
        return;
    }
    overMark_ = false;
}

void CFStatic::CrossoverMove(CFilter& h, Point p) {
    if (h.markerRect.Contains(p)) {
        overMark_ = true;
        if (h.dragPoint) StepDone(CrossoverDrag(h, p));
        return;
    }
    if (h.dragPoint) {
        StepDone(CrossoverDrag(h, p));
        return;
    }
    // Leaving a crossover point lets go of it; the other side may be right under the pointer.
    h.hoverPoint = 0;
    hot_ = -1;
    overMark_ = false;
    update();
    const int candidates[] = {set_->Count() - 2, set_->Count() - 1};
    for (int i : candidates) {
        CFilter& f = set_->Filter(i);
        if (!f.markerRect.Contains(p)) continue;
        SetHot(i);
        f.hoverPoint = 1;
        Redraw(-1);
        overMark_ = true;
        return;
    }
}

void CFStatic::leaveEvent(QEvent* event) {
    // A press after the pointer came back elsewhere must not pick up the mark it left.
    if (!DragInProgress()) overMark_ = false;
    UpdateCursor();
    QWidget::leaveEvent(event);
}

void CFStatic::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    CFilter* h = HotFilter();
    if (mode_ == kModeNone || !overMark_ || !h) return;
    const Point p = ToPoint(event->position());
    if (h->hoverPoint) {
        h->dragPoint = 1;
        const Point c = h->markerRect.Centre();
        h->grabOffset = {p.x - c.x, p.y - c.y};
    } else if (h->Kind() == kPeaking) {
        if (h->hoverLeft)
            h->dragLeft = 1;
        else if (h->hoverRight)
            h->dragRight = 1;
    }
    if (DragInProgress()) {
        dragSet_ = set_;
        dragIndex_ = hot_;
    }
    UpdateCursor();
}

void CFStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    auto release = [](CFilter& f) {
        f.dragPoint = f.dragLeft = f.dragRight = 0;
        f.hoverPoint = f.hoverLeft = f.hoverRight = 0;
    };
    if (CFilter* h = HotFilter()) release(*h);
    // The drag may have begun on a set that was replaced since; its flags must not outlive the button.
    if (dragSet_ && dragIndex_ >= 0 && dragIndex_ < dragSet_->Count()) release(dragSet_->Filter(dragIndex_));
    dragSet_ = nullptr;
    dragIndex_ = -1;
    overMark_ = false;
    UpdateCursor();
    update();
}

// ---------------------------------------------------------------------------------------------------------
// Drags

bool CFStatic::PointDrag(CFilter& h, Point p) {
    PeqBand* band = h.Band();
    if (!band) return false;
    const int w = plot_.Width(), ht = plot_.Height();
    const int x = std::clamp(p.x - h.grabOffset.x - kPlotLeftMargin, 0, w);
    int y = std::clamp(p.y - h.grabOffset.y - kPlotTopMargin, 0, ht);
    if (y == 0) y = kTopRowY;
    if (!h.FrequencyLocked()) band->freq = static_cast<int16_t>(GraphFreqFromX(x, w));
    // The gain is where the point is put, rounded to 0.1 dB: the point stays under the pointer and the
    // 0 dB row gives a flat band.
    const double db = ht > 0 ? std::clamp(20.0 - y * 40.0 / ht, -20.0, 20.0) : 0.0;
    band->gain = static_cast<int16_t>(CFilter::GainRawFromDb(db, false));
    h.Recompute(true);
    return true;
}

bool CFStatic::BandwidthDrag(CFilter& h, int x, bool left) {
    PeqBand* band = h.Band();
    if (!band) return false;
    const double f = GraphFreqFromX(x - kPlotLeftMargin, plot_.Width());
    const double freq = band->freq;
    double octaves = left ? std::log2(freq / f) : std::log2(f / freq);
    if (!(octaves >= kMinOctaves)) octaves = kMinOctaves; // also a band frequency of 0 or below
    octaves = std::min(octaves, kMaxOctaves);
    band->q = static_cast<int16_t>(CFilter::QRawFromBandwidth(octaves));
    h.Recompute(true);
    return true;
}

bool CFStatic::CrossoverPinned() const {
    // Inputs have no crossover: on the input page, and whenever an input's set is shown (a graphic
    // equaliser tab keeps the kind of the last channel page), its points stay at 20 Hz and 20 kHz.
    return channelPageKind_ == kKindInput || mode_ == kModeGeq || mode_ == kModeInputEq;
}

bool CFStatic::CrossoverDrag(CFilter& h, Point p) {
    CrossoverRecord* r = h.Crossover();
    if (!r) return false;
    const bool hp = h.Kind() == kHighPass;
    const int w = plot_.Width();
    int x = p.x - h.grabOffset.x - kPlotLeftMargin;
    if (hp && x <= 0) {
        r->hpfFreq = kMinFreq; // off
        h.Recompute(true);
        return true;
    }
    x = std::min(x, w);
    const int f = GraphFreqFromX(x, w);
    const bool pinned = CrossoverPinned();
    const int hpLimit = pinned ? kMinFreq : kMaxFreq;
    const int lpLimit = pinned ? kMaxFreq : kMinFreq;
    if (hp) {
        const int other = r->lpfFreq;
        r->hpfFreq = static_cast<int16_t>(other < f ? other : std::min(f, hpLimit));
    } else {
        const int other = r->hpfFreq;
        r->lpfFreq = static_cast<int16_t>(f < other ? other : std::max(f, lpLimit));
    }
    h.Recompute(true);
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Keys and wheel

bool CFStatic::KeyStep(CFilter& h, int key) {
    const bool crossover = IsCrossover(h);
    PeqBand* band = crossover ? nullptr : h.Band();
    if (!crossover && !band) return false;
    const int freq = h.Frequency();
    switch (key) {
    case Qt::Key_Left:
        if (h.FrequencyLocked() || freq - 1 < kMinFreq) return false;
        if (band) band->freq = static_cast<int16_t>(freq - 1);
        break;
    case Qt::Key_Right:
        if (h.FrequencyLocked() || freq + 1 > kMaxFreq) return false;
        if (band) band->freq = static_cast<int16_t>(freq + 1);
        break;
    case Qt::Key_Up:
        return GainStep(h, +1);
    case Qt::Key_Down:
        return GainStep(h, -1);
    default:
        return false;
    }
    if (band) h.Recompute(true);
    return true;
}

bool CFStatic::GainStep(CFilter& h, int step) {
    // A crossover side has no gain of its own: the test uses its flat gain copy and the step, which
    // changes no record, still counts as a change.
    PeqBand* band = IsCrossover(h) ? nullptr : h.Band();
    if (!IsCrossover(h) && !band) return false;
    const int raw = band ? band->gain : CFilter::GainRawFromDb(h.GainDb(), h.Flat());
    const int next = raw + step;
    if (next < 0 || next > kBandGainRawMax) return false;
    if (band) {
        band->gain = static_cast<int16_t>(next);
        h.Recompute(true);
    }
    return true;
}

void CFStatic::keyPressEvent(QKeyEvent* event) {
    CFilter* h = HotFilter();
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!h || !arrow) {
        QWidget::keyPressEvent(event);
        return;
    }
    StepDone(KeyStep(*h, key));
    event->accept();
}

void CFStatic::wheelEvent(QWheelEvent* event) {
    CFilter* h = HotFilter();
    if (!h || !hasFocus()) {
        event->ignore();
        return;
    }
    event->accept();
    wheelSum_ =
        static_cast<int16_t>(std::clamp(wheelSum_ + event->angleDelta().y(), -kWheelNotch, kWheelNotch));
    if (wheelSum_ == kWheelNotch || wheelSum_ == -kWheelNotch) {
        const int step = wheelSum_ > 0 ? 1 : -1;
        wheelSum_ = 0;
        StepDone(GainStep(*h, step));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Drawing

void CFStatic::changeEvent(QEvent* event) {
    // Every text is drawn into the cached layers: a new language draws them again.
    if (event->type() == QEvent::LanguageChange) {
        base_ = QPixmap();
        frame_ = QPixmap();
    }
    QWidget::changeEvent(event);
}

CFilter* CFStatic::ActiveFilter() const {
    // The filter a page named, else the one under attention.
    if (activeIndex_ >= 0 && activeIndex_ < set_->Count()) return &set_->Filter(activeIndex_);
    return activeIndex_ < 0 ? HotFilter() : nullptr;
}

const QPixmap& CFStatic::Base(qreal dpr) {
    const BaseKey key{size(), dpr, initialised_, ShowsCurves(), plot_};
    if (base_.isNull() || !(key == baseKey_)) {
        base_ = QPixmap(size() * dpr);
        base_.setDevicePixelRatio(dpr);
        QPainter p(&base_);
        DrawBase(p);
        baseKey_ = key;
        frame_ = QPixmap();
    }
    return base_;
}

void CFStatic::CurveKey(std::vector<uint32_t>& key) const {
    // Everything the sum curve and the band numbers are drawn from. The pages and the link change the
    // curve sets without telling the graph, so the frame is compared by content, not by notice.
    key.clear();
    key.push_back(uint32_t(mode_));
    key.push_back(set_->ArgbColour());
    for (const PointF& pt : set_->SumPointsF()) {
        key.push_back(std::bit_cast<uint32_t>(pt.x));
        key.push_back(std::bit_cast<uint32_t>(pt.y));
    }
    for (int i = 0; i < set_->Count(); ++i) {
        const CFilter& f = set_->Filter(i);
        const Rect& r = f.markerRect;
        for (int v : {r.left, r.top, r.right, r.bottom, int(f.Kind()), f.Frequency()})
            key.push_back(uint32_t(v));
    }
}

void CFStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal dpr = p.device()->devicePixelRatioF();
    const QPixmap& base = Base(dpr);
    if (!ShowsCurves()) {
        p.drawPixmap(0, 0, base);
        return;
    }
    set_->ComputeSum();
    CFilter* active = ActiveFilter();
    if (active) {
        // The shade lies under the grid and the curve: those are drawn again over it.
        p.drawPixmap(0, 0, base);
        const double lowLimit = plot_.top - kCurveOverdraw, highLimit = plot_.bottom + kCurveOverdraw;
        QPolygonF outline;
        outline.reserve(kCurvePointCount);
        for (const Point& pt : active->Points())
            outline << QPointF(pt.x, std::clamp(double(pt.y), lowLimit, highLimit));
        p.save();
        p.setClipRect(ToQRect(plot_));
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kShade, 1));
        p.setBrush(kShade);
        p.drawPolygon(outline);
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing, false);
        DrawGrid(p);
        p.restore();
        DrawCurves(p);
    } else {
        CurveKey(keyScratch_);
        if (frame_.isNull() || keyScratch_ != frameKey_) {
            frame_ = QPixmap(base.size());
            frame_.setDevicePixelRatio(dpr);
            QPainter fp(&frame_);
            fp.drawPixmap(0, 0, base);
            DrawCurves(fp);
            frameKey_.swap(keyScratch_);
        }
        p.drawPixmap(0, 0, frame_);
    }

    CFilter* hot = HotFilter();
    if (hot && hot->Kind() == kPeaking && !hot->FrequencyLocked()) {
        p.setPen(QPen(ToQColor(set_->Colour()), 1));
        p.setBrush(kShade);
        for (const Rect& r : {hot->leftHandle, hot->rightHandle})
            p.drawRect(r.left, r.top, r.Width() - 1, r.Height() - 1);
        p.setBrush(Qt::NoBrush);
    }

    if (active) {
        p.setFont(GraphFont());
        DrawRimmedText(p, ToQRect(active->labelRect), Qt::AlignHCenter | Qt::AlignTop,
                       QString::fromStdString(active->Label()));
    }
}

void CFStatic::DrawAxes(QPainter& p) const {
    // When InitPlot has not run yet the plot is placed from the current size for drawing only.
    Rect plot = plot_;
    if (!initialised_) {
        plot = {kPlotLeftMargin, kPlotTopMargin, std::max(width() - kRightMargin, kPlotLeftMargin),
                std::max(height() - kBottomMargin, kPlotTopMargin)};
    }
    p.fillRect(rect(), Qt::black);
    p.setPen(kAxisBorder);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    p.setFont(GraphFont());
    p.setPen(kAxisText);
    const int e = plot.Height() / 8;
    auto text = [&p](int x, int y, const char* s) {
        p.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(s));
    };
    text(6, 5, "+20");
    text(6, 2 * e + 3, "+10");
    text(6, 4 * e + 3, "0dB");
    text(6, 6 * e + 5, "-10");
    text(6, 8 * e + 2, "-20");
    const int w = plot.Width();
    text(30, plot.bottom, "20");
    for (const FreqText& t : kFreqTexts)
        text(GraphXFromFreq(t.freq, w) + kPlotLeftMargin - t.offset, plot.bottom, t.text);
}

void CFStatic::DrawGrid(QPainter& p) const {
    p.setPen(QPen(kGridLine, 1));
    for (int k = 1; k < kGridLineCount; ++k) p.drawLine(gridX_[k], plot_.top, gridX_[k], plot_.bottom - 1);
    const double step = plot_.Height() / 8.0;
    for (int k = 1; k <= 8; ++k) {
        // The last row lies on the bottom edge, which the border draws.
        const int y = std::min(plot_.top + static_cast<int>(step * k), plot_.bottom - 1);
        p.drawLine(plot_.left, y, plot_.right - 1, y);
    }
}

void CFStatic::DrawBase(QPainter& p) const {
    DrawAxes(p);
    const QRect plot = ToQRect(plot_);
    p.fillRect(plot, Qt::black);
    p.setBrush(Qt::NoBrush);
    if (!ShowsCurves()) {
        if (initialised_) DrawGrid(p);
        p.setPen(Qt::white);
        p.drawRect(plot.adjusted(0, 0, -1, -1));
        return;
    }
    p.setPen(kPlotBorder);
    p.drawRect(plot.adjusted(0, 0, -1, -1));
    DrawGrid(p);
}

void CFStatic::DrawCurves(QPainter& p) const {
    const double lowLimit = plot_.top - kCurveOverdraw, highLimit = plot_.bottom + kCurveOverdraw;
    QPolygonF sum;
    sum.reserve(kGridSize);
    for (const PointF& pt : set_->SumPointsF())
        sum << QPointF(pt.x, std::clamp(double(pt.y), lowLimit, highLimit));
    p.save();
    p.setClipRect(ToQRect(plot_));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor::fromRgba(set_->ArgbColour()), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(sum);
    p.restore();
    DrawBandNumbers(p);
}

void CFStatic::DrawBandNumbers(QPainter& p) const {
    p.setFont(GraphFont(true));
    for (int i = set_->Count() - 1; i >= 0; --i) {
        const CFilter& f = set_->Filter(i);
        QString text;
        if (f.Kind() == kHighPass || f.Kind() == kLowPass) {
            if (mode_ != kModeOutput) continue;
            text = f.Kind() == kHighPass ? QStringLiteral("H") : QStringLiteral("L");
        } else {
            text = QString::number(i + 1);
        }
        const int freq = f.Frequency();
        Qt::Alignment align = Qt::AlignVCenter;
        if (f.markerRect.right == plot_.right)
            align |= Qt::AlignLeft;
        else if (freq <= kMinFreq)
            align |= Qt::AlignRight;
        else if (freq < kMaxFreq)
            align |= Qt::AlignHCenter;
        else
            align |= Qt::AlignLeft;
        DrawRimmedText(p, ToQRect(f.markerRect), align | Qt::TextDontClip, text);
    }
}

} // namespace velmar
