// The status line's sync indicator.
#include "ui/app/SyncIndicator.h"

#include "ui/artwork/Palette.h"

#include <QMouseEvent>

namespace velmar {

SyncIndicator::SyncIndicator(AppState& app, QWidget* parent) : QLabel(parent), m_app(app) {
    setFont(palette::uiFont(12));
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(kNoticeMs);
    connect(&m_noticeTimer, &QTimer::timeout, this, &SyncIndicator::nextNotice);
    refresh();
}

void SyncIndicator::onCoreEvent(CoreEvent event, int value) {
    if ((event == CoreEvent::Repaired || event == CoreEvent::ProcessorChanged) && value > 0) {
        m_notices.append(Notice{event, value});
        if (!m_noticeTimer.isActive()) m_noticeTimer.start();
    }
    refresh();
}

void SyncIndicator::clearNotices() {
    m_notices.clear();
    m_noticeTimer.stop();
    refresh();
}

void SyncIndicator::retranslate() {
    m_look = Look::Stale;
    refresh();
}

void SyncIndicator::nextNotice() {
    if (!m_notices.isEmpty()) m_notices.removeFirst();
    if (!m_notices.isEmpty()) m_noticeTimer.start();
    refresh();
}

void SyncIndicator::refresh() {
    const CoreState& s = m_app.core;
    // A notice about a link that is gone would mislead: it goes with the link.
    if (!s.linkConnected && !m_notices.isEmpty()) {
        m_notices.clear();
        m_noticeTimer.stop();
    }
    QString text;
    Look look = Look::None;
    if (!m_notices.isEmpty()) {
        const Notice& n = m_notices.first();
        text = n.event == CoreEvent::Repaired ? tr("Repaired %1").arg(n.count)
                                              : tr("Processor changed %1 values").arg(n.count);
        look = Look::Notice;
    } else if (s.linkConnected) {
        switch (s.verify.status) {
        case SyncStatus::Unknown:
            break;
        case SyncStatus::Synced:
            text = tr("Synced");
            look = Look::Good;
            break;
        case SyncStatus::Checking:
            text = tr("Checking");
            look = Look::Busy;
            break;
        case SyncStatus::Unconfirmed:
            text = tr("%1 not confirmed").arg(s.verify.unconfirmed);
            look = Look::Problem;
            break;
        }
    }
    if (text != this->text()) setText(text);
    if (look == m_look) return;
    m_look = look;
    QColor colour = palette::kTextDim;
    switch (look) {
    case Look::Good:
        colour = palette::kSignalOn;
        break;
    case Look::Notice:
        colour = palette::kAccent;
        break;
    case Look::Problem:
        colour = palette::kCaution;
        break;
    default:
        break;
    }
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    // Underlined and a hand over it while it opens the list of what is not confirmed.
    QFont f = font();
    f.setUnderline(look == Look::Problem);
    setFont(f);
    setCursor(look == Look::Problem ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(look == Look::Problem ? tr("Click for the fields the processor has not confirmed")
                                     : QString());
}

void SyncIndicator::mousePressEvent(QMouseEvent* event) {
    const CoreState& s = m_app.core;
    if (event->button() == Qt::LeftButton && s.linkConnected && s.verify.status == SyncStatus::Unconfirmed)
        emit unconfirmedClicked();
    QLabel::mousePressEvent(event);
}

} // namespace velmar
