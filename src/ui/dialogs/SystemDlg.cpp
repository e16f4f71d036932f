// The system configuration dialog.
#include "ui/dialogs/SystemDlg.h"

#include "core/ChannelLink.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "ui/app/DeviceConfig.h"
#include "ui/app/KeyboardFilter.h"
#include "ui/artwork/Palette.h"
#include "ui/pages/SysComboBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace velmar {

namespace {
constexpr int kIdentificationOffset = 64;
constexpr int kIdentificationSize = 16;
} // namespace

CSystemDlg::CSystemDlg(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setFocusPolicy(Qt::StrongFocus);
    new KeyboardFilter(this);

    m_copyGroup = new QGroupBox(this);
    m_inputRow = new QLabel(m_copyGroup);
    m_outputRow = new QLabel(m_copyGroup);
    m_sourceColumn = new QLabel(m_copyGroup);
    m_targetColumn = new QLabel(m_copyGroup);
    for (QLabel* l : {m_sourceColumn, m_targetColumn}) l->setAlignment(Qt::AlignCenter);
    auto list = [](QWidget* parent, int width) {
        auto* c = new SysComboBox(parent);
        c->setMinimumWidth(width);
        return c;
    };
    m_inputSource = list(m_copyGroup, 110);
    m_inputTarget = list(m_copyGroup, 110);
    m_outputSource = list(m_copyGroup, 110);
    m_outputTarget = list(m_copyGroup, 110);
    m_inputCopy = new QPushButton(m_copyGroup);
    m_outputCopy = new QPushButton(m_copyGroup);
    for (QPushButton* b : {m_inputCopy, m_outputCopy}) {
        b->setAutoDefault(false);
        b->setMinimumSize(80, 28);
    }
    connect(m_inputCopy, &QPushButton::clicked, this, &CSystemDlg::OnInputCopy);
    connect(m_outputCopy, &QPushButton::clicked, this, &CSystemDlg::OnOutputCopy);

    auto* copy = new QGridLayout(m_copyGroup);
    copy->setContentsMargins(14, 14, 14, 14);
    copy->setHorizontalSpacing(12);
    copy->setVerticalSpacing(10);
    copy->addWidget(m_sourceColumn, 0, 1);
    copy->addWidget(m_targetColumn, 0, 2);
    copy->addWidget(m_inputRow, 1, 0);
    copy->addWidget(m_inputSource, 1, 1);
    copy->addWidget(m_inputTarget, 1, 2);
    copy->addWidget(m_inputCopy, 1, 3);
    copy->addWidget(m_outputRow, 2, 0);
    copy->addWidget(m_outputSource, 2, 1);
    copy->addWidget(m_outputTarget, 2, 2);
    copy->addWidget(m_outputCopy, 2, 3);

    m_gateGroup = new QGroupBox(this);
    auto* gates = new QGridLayout(m_gateGroup);
    gates->setContentsMargins(14, 14, 14, 14);
    gates->setHorizontalSpacing(12);
    gates->setVerticalSpacing(10);
    for (int c = 0; c < kInputCount; ++c) {
        m_gateLabels[size_t(c)] = new QLabel(m_gateGroup);
        m_gateLists[size_t(c)] = list(m_gateGroup, 96);
        m_gateLists[size_t(c)]->setMaxVisibleItems(16);
        gates->addWidget(m_gateLabels[size_t(c)], c / 2, (c % 2) * 2);
        gates->addWidget(m_gateLists[size_t(c)], c / 2, (c % 2) * 2 + 1);
        connect(m_gateLists[size_t(c)], &QComboBox::currentIndexChanged, this,
                [this, c](int item) { OnGateChosen(c, item); });
    }
    gates->setColumnStretch(1, 1);
    gates->setColumnStretch(3, 1);

    m_identification = new QLabel(this);
    m_identification->setAlignment(Qt::AlignCenter);
    m_identification->setTextFormat(Qt::PlainText);
    m_identification->setFont(palette::uiFont(13, true));
    QPalette ip = m_identification->palette();
    ip.setColor(QPalette::WindowText, palette::kAccent);
    m_identification->setPalette(ip);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);
    layout->addWidget(m_copyGroup);
    layout->addWidget(m_gateGroup);
    layout->addWidget(m_identification);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fill();
    setTexts();
}

CSystemDlg::~CSystemDlg() = default;

QString CSystemDlg::identificationText(const SystemBlock& system) {
    const uint8_t* text = system.bytes + kIdentificationOffset;
    int n = 0;
    while (n < kIdentificationSize && text[n] != 0) ++n;
    // Bytes the processor means as text; anything that is not printable shows as a replacement mark.
    QString out;
    for (int i = 0; i < n; ++i) out += text[i] >= 0x20 && text[i] < 0x7F ? QChar(text[i]) : QChar(0xFFFD);
    return out;
}

void CSystemDlg::fill() {
    const CoreState& s = m_app.core;
    const int inputs = DeviceConfig::inputCount(s.deviceConfig);
    const int outputs = DeviceConfig::outputCount(s.deviceConfig);
    auto channels = [](SysComboBox* c, int count, bool input, int selected) {
        const QSignalBlocker blocker(c);
        c->clear();
        for (int i = 0; i < count; ++i)
            c->addItem(input ? QStringLiteral("In %1").arg(QChar(char16_t(u'A' + i)))
                             : QStringLiteral("Out %1").arg(i + 1));
        c->setCurrentIndex(selected < count ? selected : 0);
    };
    channels(m_inputSource, inputs, true, 0);
    channels(m_inputTarget, inputs, true, 1);
    channels(m_outputSource, outputs, false, 0);
    channels(m_outputTarget, outputs, false, 1);

    for (int c = 0; c < kInputCount; ++c) {
        SysComboBox* g = m_gateLists[size_t(c)];
        const QSignalBlocker blocker(g);
        g->clear();
        for (int k = 0; k < kGateChoiceCount; ++k) g->addItem(QString::fromStdString(GateChoiceText(k)));
        g->setCurrentIndex(GateChoiceFromRaw(s.image.inputs[c].gateThreshold));
        const bool present = c < inputs;
        g->setVisible(present);
        m_gateLabels[size_t(c)]->setVisible(present);
    }

    m_identification->setText(identificationText(s.system));
    m_identification->setVisible(s.linkConnected != 0);
}

void CSystemDlg::setTexts() {
    setWindowTitle(tr("Configure"));
    m_copyGroup->setTitle(tr("Channel Copy"));
    m_inputRow->setText(tr("INPUT"));
    m_outputRow->setText(tr("OUTPUT"));
    m_sourceColumn->setText(tr("Source"));
    m_targetColumn->setText(tr("Target"));
    m_inputCopy->setText(tr("OK"));
    m_outputCopy->setText(tr("OK"));
    m_gateGroup->setTitle(tr("NoiseGate"));
    const QString labels[kInputCount] = {tr("  IN A"), tr("  IN B"), tr("  IN C"), tr("  IN D")};
    for (int c = 0; c < kInputCount; ++c) m_gateLabels[size_t(c)]->setText(labels[c]);
}

void CSystemDlg::OnGateChosen(int input, int item) {
    if (input < 0 || input >= kInputCount || item < 0 || item >= kGateChoiceCount) return;
    m_app.core.image.inputs[input].gateThreshold = uint8_t(GateRawFromChoice(item));
    QueueParamWrite(m_app.core, kKindInput, uint8_t(input), 1);
}

void CSystemDlg::OnInputCopy() {
    CopyChannel(m_app.core, kKindInput, m_inputSource->currentIndex(), m_inputTarget->currentIndex());
}

void CSystemDlg::OnOutputCopy() {
    CopyChannel(m_app.core, kKindOutput, m_outputSource->currentIndex(), m_outputTarget->currentIndex());
}

} // namespace velmar
