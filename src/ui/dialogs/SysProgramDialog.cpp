// The frame the program load and save dialogs share.
#include "ui/dialogs/SysProgramDialog.h"

#include "ui/app/KeyboardFilter.h"
#include "ui/dialogs/SysProgramList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmar {

namespace {

// How often a wait looks at the link: a lost link ends it well before the core's own timeouts.
constexpr int kWaitPollMs = 200;

} // namespace

SysProgramDialog::SysProgramDialog(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setFocusPolicy(Qt::StrongFocus);
    new KeyboardFilter(this);
    m_list = new SysProgramList(this);
    m_ok = new QPushButton(this);
    m_cancel = new QPushButton(this);
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setMinimumSize(88, 30);
    }
    connect(m_list, &SysProgramList::rowClicked, this, [this](int number) { m_selection = number; });
    connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_waitLabel = new QLabel(this);
    m_waitLabel->setMinimumWidth(120);
    m_waitPoll.setInterval(kWaitPollMs);
    connect(&m_waitPoll, &QTimer::timeout, this, &SysProgramDialog::pollWait);
    connect(&app.events, &CoreEventRelay::coreEvent, this, &SysProgramDialog::onCoreEvent);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_waitLabel);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(12);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

SysProgramDialog::~SysProgramDialog() = default;

QString SysProgramDialog::programName(const CoreState& s, int number) {
    if (number < 0 || number >= kProgramNameCount) return QString();
    const char* entry = s.programNames[number];
    int n = 0;
    while (n < kProgramNameChars && entry[n] != 0) ++n;
    return QString::fromLatin1(entry, n);
}

void SysProgramDialog::setUp(const QString& caption) {
    setWindowTitle(caption);
    m_list->setHeaders(tr("ID"), tr("Name"));
    for (int r = 0; r < SysProgramList::kRows; ++r) m_list->setRowName(r, programName(m_app.core, r + 1));
    m_ok->setText(tr("OK"));
    m_cancel->setText(tr("Cancel"));
    m_selection = 0;
}

std::optional<uint8_t> SysProgramDialog::programToActOn(const QString& notConnected,
                                                        const QString& noSelection) {
    if (!m_app.core.linkConnected) {
        m_app.showMessage(this, notConnected);
        accept();
        return std::nullopt;
    }
    if (m_selection < 1 || m_selection > SysProgramList::kRows) {
        m_app.showMessage(this, noSelection);
        return std::nullopt;
    }
    return uint8_t(m_selection);
}

void SysProgramDialog::reject() {
    // The answer is on its way: closing now would leave the user without the result.
    if (waiting()) return;
    QDialog::reject();
}

QString SysProgramDialog::waitText() const {
    return m_waitLabel->text();
}

void SysProgramDialog::waitForResult(uint8_t program, CoreEvent done, CoreEvent failed, const QString& text) {
    m_waitProgram = program;
    m_doneEvent = done;
    m_failedEvent = failed;
    m_waitLabel->setText(text);
    setBusy(true);
    m_waitClock.start();
    m_waitPoll.start();
}

void SysProgramDialog::onCoreEvent(CoreEvent event, int value) {
    if (!waiting() || value != m_waitProgram) return;
    if (event == m_doneEvent)
        endWait(true);
    else if (event == m_failedEvent)
        endWait(false);
}

void SysProgramDialog::pollWait() {
    if (!waiting()) return;
    if (!m_app.core.linkConnected || m_waitClock.elapsed() >= m_waitLimitMs) endWait(false);
}

void SysProgramDialog::endWait(bool ok) {
    const uint8_t program = m_waitProgram;
    m_waitProgram = 0;
    m_waitPoll.stop();
    m_waitLabel->clear();
    setBusy(false);
    waitEnded(program, ok);
}

void SysProgramDialog::setBusy(bool busy) {
    m_list->setEnabled(!busy);
    m_ok->setEnabled(!busy);
    m_cancel->setEnabled(!busy);
}

} // namespace velmar
