// The frame the program load and save dialogs share.
#include "ui/dialogs/SysProgramDialog.h"

#include "ui/app/KeyboardFilter.h"
#include "ui/dialogs/SysProgramList.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmar {

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

    auto* buttons = new QHBoxLayout;
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

} // namespace velmar
