// SyncIndicator: the status line's word on whether the processor holds what the screen shows, and its
// passing notices of repairs and of values changed at the processor.
#pragma once

#include "ui/app/AppState.h"

#include <QLabel>
#include <QList>
#include <QTimer>

namespace velmar {

// Says nothing while no link is up or the image has not been read; otherwise "Synced", "Checking" or
// "N not confirmed" (from core.verify). A Repaired or ProcessorChanged event shows "Repaired N" or
// "Processor changed N values" for kNoticeMs, one notice after the other, then the status again: never a
// box, an installer may be in the middle of a show. A click while fields are not confirmed emits
// unconfirmedClicked. Texts follow the installed translation at each refresh. UI thread only.
class SyncIndicator : public QLabel {
    Q_OBJECT

public:
    static constexpr int kNoticeMs = 4000;

    SyncIndicator(AppState& app, QWidget* parent);

    // Reads the core's status again; cheap when nothing changed (called every tick).
    void refresh();
    void onCoreEvent(CoreEvent event, int value);
    // The notice shown now, if any, is dropped (tests; a new connection).
    void clearNotices();
    // The texts again in the language just installed.
    void retranslate();

signals:
    void unconfirmedClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    enum class Look { None, Good, Busy, Notice, Problem, Stale };
    struct Notice {
        CoreEvent event;
        int count;
    };
    void nextNotice();

    AppState& m_app;
    QList<Notice> m_notices;
    QTimer m_noticeTimer;
    Look m_look = Look::None;
};

} // namespace velmar
