// SysPagesHarness: an AppState for page and dialog tests - every frame captured, every box, posted
// message and modal run recorded, the link up and confirmed on request, the tick driven by hand.
#pragma once

#include "core/CoreState.h"
#include "core/Image.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "ui/app/AppState.h"
#include "ui/pages/StepButtons.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cstdint>
#include <functional>
#include <vector>

namespace velmar::syspagestest {

using Bytes = std::vector<uint8_t>;

// "5A 5A 5A 01 ..." -> bytes; spaces are only for the reader.
inline Bytes hex(const char* text) {
    Bytes out;
    const QByteArray digits = QByteArray(text).replace(' ', "");
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(uint8_t(digits.mid(i, 2).toUInt(nullptr, 16)));
    return out;
}
inline QString hexText(const Bytes& bytes) {
    QStringList parts;
    for (uint8_t b : bytes) parts << QString::asprintf("%02X", b);
    return parts.join(QLatin1Char(' '));
}

struct PostedMessage {
    uint32_t message, wParam, lParam;
    bool operator==(const PostedMessage&) const = default;
};

// The application state as the main window would set it up (templates, no links, curve sets and their
// hooks), with recorders in place of the transport, the main window and the boxes. UI thread only.
class Harness {
public:
    Harness() {
        CoreState& s = app.core;
        InitCoreState(s);
        BuildCurveSets(s);
        InstallCurveSetHooks(s);
        s.hooks.writeFrame = [this](const uint8_t* data, size_t size) {
            frames.emplace_back(data, data + size);
        };
        s.hooks.postMessage = [this](uint32_t m, uint32_t w, uint32_t l) { posts.push_back({m, w, l}); };
        s.hooks.showMessage = [this](const char* text, const char* caption) {
            messages.append(
                UiMessage{QString::fromUtf8(text), QString::fromUtf8(caption), QMessageBox::Warning, {}});
        };
        const auto curvesChanged = s.hooks.channelCurvesChanged;
        s.hooks.channelCurvesChanged = [this, curvesChanged](uint8_t kind, int channel) {
            curveRebuilds.push_back({kind, channel});
            if (curvesChanged) curvesChanged(kind, channel);
        };
        app.ui.message = [this](QWidget*, const UiMessage& m) { messages.append(m); };
        app.ui.runModal = [this](QDialog& d) {
            modalsRun << QString::fromLatin1(d.metaObject()->className());
            return onModal ? onModal(d) : int(QDialog::Rejected);
        };
    }

    CoreState& core() { return app.core; }

    // The link as it stands after the handshake and the read-back: writes go out on the next tick.
    void connectLink() {
        CoreState& s = app.core;
        s.linkConnected = 1;
        s.linkConfirmed = 2;
        s.activeLink = LinkType::Tcp;
        s.deviceAddress = 1;
    }
    // Ticks the scheduler `n` times and returns the frames sent meanwhile.
    std::vector<Bytes> tick(int n = 1) {
        frames.clear();
        for (int i = 0; i < n; ++i) SchedulerTick(app.core);
        return frames;
    }
    QStringList messageTexts() const {
        QStringList texts;
        for (const UiMessage& m : messages) texts << m.text;
        return texts;
    }

    AppState app;
    std::vector<Bytes> frames;
    std::vector<PostedMessage> posts;
    QList<UiMessage> messages;
    std::vector<std::pair<uint8_t, int>> curveRebuilds;
    std::function<int(QDialog&)> onModal;
    QStringList modalsRun;
};

// A click on one half of an up-down control: delta < 0 the up arrow, any other the down arrow, the
// sign an up-down notification carries.
inline void PressSpin(StepButtons* spin, int delta) {
    const QPoint p(spin->width() / 2, delta < 0 ? 2 : spin->height() - 3);
    QTest::mousePress(spin, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(spin, Qt::LeftButton, Qt::NoModifier, p);
}

} // namespace velmar::syspagestest
