// The response graph's stand-in: a framed area and the link-supervision tick.
#include "ui/app/GraphPlaceholder.h"

#include "core/ReplyParser.h"
#include "ui/artwork/Palette.h"

#include <QPainter>

namespace velmar {

GraphPlaceholder::GraphPlaceholder(CoreState& core, QWidget* parent) : QWidget(parent), m_core(core) {
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &GraphPlaceholder::TimerTick);
}

GraphPlaceholder::~GraphPlaceholder() {
    if (m_hookInstalled) m_core.hooks.clearGraphPendingEdit = nullptr;
}

void GraphPlaceholder::InstallPendingEditHook() {
    m_core.hooks.clearGraphPendingEdit = [this] { ClearPendingEdit(); };
    m_hookInstalled = true;
}

void GraphPlaceholder::InitPlot() {
    m_timer.start();
}

void GraphPlaceholder::TimerTick() {
    LinkSupervisionTick(m_core);
}

void GraphPlaceholder::show(int mode, int channel) {
    m_mode = mode;
    m_channel = channel;
    update();
}

void GraphPlaceholder::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette::kWell);
    p.setPen(palette::kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QString set;
    switch (m_mode) {
    case kModeGeq:
        set = QStringLiteral("GEQ %1").arg(QChar(char16_t(u'A' + m_channel)));
        break;
    case kModeInputEq:
        set = QStringLiteral("IN %1").arg(QChar(char16_t(u'A' + m_channel)));
        break;
    case kModeOutput:
        set = QStringLiteral("OUT %1").arg(m_channel + 1);
        break;
    default:
        break;
    }
    p.setPen(palette::kTextFaint);
    p.setFont(palette::uiFont(13));
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Response graph  ") + set);
}

} // namespace velmar
