// A page under test: the application state with a connected, confirmed link whose frames are captured
// (and acknowledged, as the processor would), the message boxes recorded, a host window, and the user's
// actions on entries, steps, faders and buttons.
#pragma once

#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "ui/app/AppState.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include <memory>
#include <vector>

namespace velmar::test {

// One frame the scheduler put on the wire.
struct SentFrame {
    uint8_t command = 0, p1 = 0, p2 = 0, p3 = 0, p4 = 0;
    std::vector<uint8_t> payload;

    bool IsWrite() const { return command == kCmdParamWrite || command == kCmdBlockWrite; }
    // A 16-bit little-endian field of the payload.
    int16_t Word(size_t offset) const {
        return offset + 1 < payload.size() ? int16_t(payload[offset] | (payload[offset + 1] << 8))
                                           : int16_t(0);
    }
};

inline SentFrame Decode(const uint8_t* data, size_t size) {
    SentFrame f;
    if (size < kFrameOverhead) return f;
    f.command = data[5];
    f.p1 = data[6];
    f.p2 = data[7];
    f.p3 = data[8];
    f.p4 = data[9];
    const size_t length = size_t(data[10] | (data[11] << 8));
    if (12 + length <= size) f.payload.assign(data + 12, data + 12 + length);
    return f;
}

class PageRig {
public:
    std::unique_ptr<AppState> app = std::make_unique<AppState>();
    std::vector<SentFrame> frames;
    QStringList messages;
    // The processor's acknowledgement of every write, fed after the tick that sent it.
    bool acknowledge = true;
    QWidget host;
    QPushButton* focusSink = nullptr; // somewhere else to click, so an entry loses the focus

    PageRig() {
        CoreState& s = app->core;
        InitCoreState(s);
        BuildCurveSets(s);
        s.linkConnected = 1;
        s.linkConfirmed = 2;
        s.activeLink = LinkType::Tcp;
        s.deviceAddress = 1;
        s.scheduler.state = SchedState::Idle;
        s.hooks.writeFrame = [this](const uint8_t* data, size_t size) {
            frames.push_back(Decode(data, size));
            if (acknowledge && frames.back().IsWrite()) m_replies.push_back(frames.back());
        };
        app->ui.message = [this](QWidget*, const UiMessage& m) { messages << m.text; };
        host.resize(1100, 760);
        focusSink = new QPushButton(QStringLiteral("elsewhere"), &host);
        focusSink->setGeometry(1090, 750, 8, 8);
        focusSink->setFocusPolicy(Qt::StrongFocus);
    }
    ~PageRig() { app->core.hooks = CoreHooks{}; }

    CoreState& core() { return app->core; }
    DeviceImage& image() { return app->core.image; }

    // Shows the host and makes it the active window, so focus moves as it does for a user.
    void Show() {
        host.show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
    }

    // One scheduler tick, then the replies to what it sent.
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            SchedulerTick(app->core);
            std::vector<SentFrame> replies;
            replies.swap(m_replies);
            for (const SentFrame& w : replies) {
                uint8_t reply[kFrameOverhead];
                const uint8_t command = w.command == kCmdParamWrite ? kCmdAck : kCmdBlockWrite;
                const size_t size = BuildFrame(reply, 1, command, w.p1, w.p2, w.p3, w.p4, 0, nullptr);
                FeedBytes(app->core, reply, int16_t(size));
            }
        }
    }
    // Ticks until the scheduler is idle again and returns the writes that went out (at most 40 ticks).
    std::vector<SentFrame> Flush() {
        const size_t from = frames.size();
        for (int i = 0; i < 40; ++i) {
            Tick();
            if (app->core.scheduler.state == SchedState::Idle && !AnyDirty(app->core)) break;
        }
        std::vector<SentFrame> writes;
        for (size_t i = from; i < frames.size(); ++i)
            if (frames[i].IsWrite()) writes.push_back(frames[i]);
        return writes;
    }
    void ClearFrames() {
        frames.clear();
        m_replies.clear();
        messages.clear();
    }
    // Nothing queued and nothing dirty: the page sent nothing.
    bool NothingQueued() const {
        return app->core.scheduler.state == SchedState::Idle && !AnyDirty(app->core);
    }

private:
    std::vector<SentFrame> m_replies;
};

// Selects the entry's text, types `text` over it and moves the focus elsewhere, as a user does.
inline void TypeAndLeave(PageRig& rig, NumericEntry* entry, const QString& text) {
    entry->setFocus(Qt::MouseFocusReason);
    QVERIFY(entry->hasFocus());
    entry->selectAll();
    if (text.isEmpty())
        QTest::keyClick(entry, Qt::Key_Delete); // the entry emptied
    else
        QTest::keyClicks(entry, text);
    rig.focusSink->setFocus(Qt::MouseFocusReason);
    QVERIFY(!entry->hasFocus());
}

// Puts text into an entry as the clipboard would (letters included), then moves the focus away.
inline void PasteAndLeave(PageRig& rig, NumericEntry* entry, const QString& text) {
    entry->setFocus(Qt::MouseFocusReason);
    entry->selectAll();
    entry->insert(text);
    rig.focusSink->setFocus(Qt::MouseFocusReason);
}

inline void ClickStep(StepButtons* steps, bool up) {
    const QPoint p(steps->width() / 2, up ? 3 : steps->height() - 3);
    QTest::mousePress(steps, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(steps, Qt::LeftButton, Qt::NoModifier, p);
}

// Drags a fader's thumb to the pixel of raw value `value` (as SetInvertedPos would place it) and lets
// go; the page's queued slots then run.
inline void DragFaderTo(CBitmapSlider* fader, int value) {
    const int from = fader->pixelForPosition(fader->GetPos());
    const int to = fader->pixelForPosition(fader->GetRangeMax() - value);
    const int x = fader->width() / 2;
    QTest::mousePress(fader, Qt::LeftButton, Qt::NoModifier, QPoint(x, from));
    QMouseEvent move(QEvent::MouseMove, QPointF(x, to), fader->mapToGlobal(QPointF(x, to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fader, &move);
    fader->movingTick();
    QTest::mouseRelease(fader, Qt::LeftButton, Qt::NoModifier, QPoint(x, to));
    QCoreApplication::processEvents();
}

inline void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

// One notch of the mouse wheel over the middle of `w` (negative: toward the user), as the system
// sends it; returns whether anything on the way up took it.
inline bool Wheel(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    QCoreApplication::processEvents();
    return e.isAccepted();
}

// Chooses item `index` of a drop-down list as a user does (the list reports "activated").
inline void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

} // namespace velmar::test
