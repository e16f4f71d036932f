// The Home page: the block diagram, its navigation buttons, the routing matrix and the link lists.
#include "ui/pages/HomeDlg.h"

#include "core/Scheduler.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/HomeLayout.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/SysBlockButton.h"
#include "ui/pages/SysComboBox.h"
#include "ui/pages/SysLinkGroups.h"

#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>

namespace velmar {

namespace {

using L = HomeLayout;

constexpr CHomeDlg::Block kInputOrder[CHomeDlg::kInputBlocks] = {
    CHomeDlg::Block::Mute, CHomeDlg::Block::Gain, CHomeDlg::Block::Peq, CHomeDlg::Block::Delay};
constexpr L::InputStage kInputStages[CHomeDlg::kInputBlocks] = {L::InputStage::Mute, L::InputStage::Gain,
                                                                L::InputStage::Peq, L::InputStage::Delay};
constexpr CHomeDlg::Block kOutputOrder[CHomeDlg::kOutputBlocks] = {
    CHomeDlg::Block::Gain, CHomeDlg::Block::XOver, CHomeDlg::Block::Peq,
    CHomeDlg::Block::Comp, CHomeDlg::Block::Delay, CHomeDlg::Block::Mute};
constexpr L::OutputStage kOutputStages[CHomeDlg::kOutputBlocks] = {
    L::OutputStage::Gain, L::OutputStage::XOver, L::OutputStage::Peq,
    L::OutputStage::Comp, L::OutputStage::Delay, L::OutputStage::Mute};

int inputSlot(CHomeDlg::Block b) {
    for (int i = 0; i < CHomeDlg::kInputBlocks; ++i)
        if (kInputOrder[i] == b) return i;
    return -1;
}
int outputSlot(CHomeDlg::Block b) {
    for (int i = 0; i < CHomeDlg::kOutputBlocks; ++i)
        if (kOutputOrder[i] == b) return i;
    return -1;
}

// The accent bar of a block says what it does: the same colours the pages use for those controls.
QColor blockAccent(CHomeDlg::Block b) {
    switch (b) {
    case CHomeDlg::Block::Mute:
        return palette::kDanger;
    case CHomeDlg::Block::Gain:
        return palette::kGainColour;
    case CHomeDlg::Block::Peq:
        return palette::kSignalOn;
    case CHomeDlg::Block::Delay:
        return palette::kDelayColour;
    case CHomeDlg::Block::XOver:
        return QColor(172, 128, 236);
    case CHomeDlg::Block::Comp:
        return palette::kCaution;
    }
    return palette::kAccent;
}

QString linkItemText(uint8_t kind, int group) {
    return kind == kKindInput ? QStringLiteral("LINK %1").arg(QChar(char16_t(u'A' + group)))
                              : QStringLiteral("LINK %1").arg(group + 1);
}

int inputCountOf(int config) {
    return L::inputCount(config);
}
int outputCountOf(int config) {
    return L::outputCount(config);
}

} // namespace

CHomeDlg::CHomeDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {
    // The tab control carries the light palette of its strip; the page's controls take the dark one.
    setPalette(palette::applicationPalette());
    buildControls();
    placeControls();
    RefreshPage();
}

CHomeDlg::~CHomeDlg() = default;

void CHomeDlg::buildControls() {
    const QFont captionFont = palette::uiFont(12, true);
    const QFont listFont = palette::condensedFont(12);
    auto makeCaption = [&]() {
        auto* label = new QLabel(this);
        label->setFont(captionFont);
        label->setAlignment(Qt::AlignCenter);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, palette::kText);
        label->setPalette(p);
        return label;
    };
    auto makeList = [&](uint8_t kind, int channel) {
        auto* list = new SysComboBox(this);
        list->setFont(listFont);
        connect(list, &QComboBox::currentIndexChanged, this, [this, list, kind, channel](int index) {
            if (index >= 0) OnLinkChosen(kind, channel, list->itemData(index).toInt());
        });
        return list;
    };
    auto makeBlock = [&](bool input, int channel, Block block) {
        auto* b = new SysBlockButton(this);
        b->setAccent(blockAccent(block));
        connect(b, &QAbstractButton::clicked, this,
                [this, input, channel, block] { OnBlockClicked(input, channel, block); });
        return b;
    };

    for (int k = 0; k < kInputCount; ++k) {
        InputRow& row = m_inputs[size_t(k)];
        row.caption = makeCaption();
        row.link = makeList(kKindInput, k);
        for (int i = 0; i < kInputBlocks; ++i) row.blocks[size_t(i)] = makeBlock(true, k, kInputOrder[i]);
    }
    for (int r = 0; r < kOutputCount; ++r) {
        OutputRow& row = m_outputs[size_t(r)];
        for (int i = 0; i < kOutputBlocks; ++i) row.blocks[size_t(i)] = makeBlock(false, r, kOutputOrder[i]);
        row.link = makeList(kKindOutput, r);
        row.caption = makeCaption();
        for (int t = 0; t < kInputCount; ++t) {
            auto* m = new xSkinButton(this);
            m->setFocusPolicy(Qt::NoFocus);
            m->setCursor(Qt::PointingHandCursor);
            connect(m, &QAbstractButton::clicked, this, [this, r, t] { OnMatrixClicked(r, t); });
            row.matrix[size_t(t)] = m;
        }
    }
}

void CHomeDlg::placeControls() {
    const QPoint o = m_origin;
    for (int k = 0; k < kInputCount; ++k) {
        InputRow& row = m_inputs[size_t(k)];
        row.caption->setGeometry(L::inputCaption(k).translated(o));
        row.link->setGeometry(L::inputLinkList(k).translated(o));
        for (int i = 0; i < kInputBlocks; ++i)
            row.blocks[size_t(i)]->setGeometry(L::inputBlock(k, kInputStages[i]).translated(o));
    }
    for (int r = 0; r < kOutputCount; ++r) {
        OutputRow& row = m_outputs[size_t(r)];
        for (int i = 0; i < kOutputBlocks; ++i)
            row.blocks[size_t(i)]->setGeometry(L::outputBlock(r, kOutputStages[i]).translated(o));
        row.link->setGeometry(L::outputLinkList(r).translated(o));
        row.caption->setGeometry(L::outputCaption(r).translated(o));
        for (int t = 0; t < kInputCount; ++t)
            row.matrix[size_t(t)]->setGeometry(L::matrixButton(r, t).translated(o));
    }
}

void CHomeDlg::resizeEvent(QResizeEvent*) {
    // The diagram stands in the middle of the page.
    const QPoint origin(qMax(0, (width() - L::kPageSize.width()) / 2),
                        qMax(0, (height() - L::kPageSize.height()) / 2));
    if (origin == m_origin) return;
    m_origin = origin;
    placeControls();
    update();
}

void CHomeDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette::kPage);
    p.drawPixmap(m_origin, artwork::pixmap(artwork::homeBackgroundId(app().core.deviceConfig)));
}

void CHomeDlg::RefreshPage() {
    for (int r = 0; r < kOutputCount; ++r) showMatrix(r);
    applyConfig();
    syncLinkLists();
    setTexts();
    update();
}

void CHomeDlg::setTexts() {
    const QString blockTexts[] = {tr("Mute"), tr("Gain"), tr("PEQ"), tr("Delay"), tr("X-Over"), tr("Comp.")};
    for (int k = 0; k < kInputCount; ++k) {
        InputRow& row = m_inputs[size_t(k)];
        row.caption->setText(tr("In %1").arg(QChar(char16_t(u'A' + k))));
        for (int i = 0; i < kInputBlocks; ++i)
            row.blocks[size_t(i)]->setText(blockTexts[int(kInputOrder[i])]);
    }
    for (int r = 0; r < kOutputCount; ++r) {
        OutputRow& row = m_outputs[size_t(r)];
        row.caption->setText(tr("Out %1").arg(r + 1));
        for (int i = 0; i < kOutputBlocks; ++i)
            row.blocks[size_t(i)]->setText(blockTexts[int(kOutputOrder[i])]);
    }
}

void CHomeDlg::applyConfig() {
    const int config = app().core.deviceConfig;
    const int inputs = inputCountOf(config), outputs = outputCountOf(config);
    for (int k = 0; k < kInputCount; ++k) {
        InputRow& row = m_inputs[size_t(k)];
        const bool present = k < inputs;
        row.caption->setVisible(present);
        row.link->setVisible(present);
        for (SysBlockButton* b : row.blocks) b->setVisible(present);
    }
    for (int r = 0; r < kOutputCount; ++r) {
        OutputRow& row = m_outputs[size_t(r)];
        const bool present = r < outputs;
        row.caption->setVisible(present);
        row.link->setVisible(present);
        for (SysBlockButton* b : row.blocks) b->setVisible(present);
        for (int t = 0; t < kInputCount; ++t) row.matrix[size_t(t)]->setVisible(present && t < inputs);
    }
}

void CHomeDlg::showMatrix(int r) {
    OutputRow& row = m_outputs[size_t(r)];
    const uint8_t mask = app().core.image.outputs[r].routeMask;
    for (int t = 0; t < kInputCount; ++t) {
        const int id = artwork::matrixBitmapId(t, (mask >> t) & 1);
        row.matrixBitmaps[size_t(t)] = id;
        row.matrix[size_t(t)]->SetSkin(id, id, id);
        row.matrix[size_t(t)]->setToolTip(
            ((mask >> t) & 1 ? tr("In %1 feeds Out %2") : tr("In %1 does not feed Out %2"))
                .arg(QChar(char16_t(u'A' + t)))
                .arg(r + 1));
    }
}

void CHomeDlg::syncLinkList(SysComboBox* list, uint8_t kind, int channel, int count) {
    const CoreState& s = app().core;
    const int group = kind == kKindInput ? s.inputLinkGroup[channel] : s.outputLinkGroup[channel];
    // The list offers the configuration's channels; a group beyond them (left from a larger
    // configuration) is added, so the list never shows a group the channel is not in.
    QList<int> groups;
    for (int g = 0; g < count; ++g) groups << g;
    if (group >= count) groups << group;

    const QSignalBlocker blocker(list);
    bool same = list->count() == groups.size();
    for (int i = 0; same && i < groups.size(); ++i) same = list->itemData(i).toInt() == groups.at(i);
    if (!same) {
        list->clear();
        for (int g : groups) list->addItem(linkItemText(kind, g), g);
    }
    for (int i = 0; i < groups.size(); ++i) {
        const int g = groups.at(i);
        list->setItemEnabled(i, syslinks::selectable(s, kind, channel, g) || g == group);
    }
    list->setCurrentIndex(int(groups.indexOf(group)));
    // A channel that shares its settings with others says so in the accent colour.
    const bool linked = group != channel || syslinks::hasMembers(s, kind, channel);
    QPalette p = list->palette();
    p.setColor(QPalette::ButtonText, linked ? palette::kAccent : palette::kText);
    list->setPalette(p);
}

void CHomeDlg::syncLinkLists() {
    const int config = app().core.deviceConfig;
    for (int k = 0; k < kInputCount; ++k)
        syncLinkList(m_inputs[size_t(k)].link, kKindInput, k, inputCountOf(config));
    for (int r = 0; r < kOutputCount; ++r)
        syncLinkList(m_outputs[size_t(r)].link, kKindOutput, r, outputCountOf(config));
}

int CHomeDlg::navigationTab(int config, bool input, int channel, Block block) {
    switch (block) {
    case Block::Mute:
    case Block::Gain:
        return 1;
    case Block::Delay:
        return 2;
    default:
        break;
    }
    // The channel pages follow the system tabs: first the inputs, then the outputs.
    const bool small = config == 3 || config == 4;
    if (input) return (small ? 5 : 7) + channel;
    const int firstOutputTab = small ? 7 : config == 5 ? 10 : 11;
    return firstOutputTab + channel;
}

void CHomeDlg::OnBlockClicked(bool input, int channel, Block block) {
    const int limit = input ? kInputCount : kOutputCount;
    if (channel < 0 || channel >= limit) return;
    if (input && (block == Block::XOver || block == Block::Comp)) return;
    app().post(kMsgSelectTab, 0, uint32_t(navigationTab(app().core.deviceConfig, input, channel, block)));
}

void CHomeDlg::OnMatrixClicked(int r, int t) {
    if (r < 0 || r >= kOutputCount || t < 0 || t >= kInputCount) return;
    OutputBlock& out = app().core.image.outputs[r];
    out.routeMask = uint8_t(out.routeMask ^ (1u << t));
    QueueParamWrite(app().core, kKindOutput, uint8_t(r), 1);
    showMatrix(r);
}

void CHomeDlg::OnLinkChosen(uint8_t kind, int channel, int group) {
    syslinks::choose(app().core, kind, channel, group);
    // A refused choice puts the list back; an accepted one may have renumbered other channels and
    // changed which groups can be joined.
    syncLinkLists();
}

SysBlockButton* CHomeDlg::blockButton(bool input, int channel, Block block) const {
    if (input) {
        const int slot = inputSlot(block);
        return channel >= 0 && channel < kInputCount && slot >= 0
                   ? m_inputs[size_t(channel)].blocks[size_t(slot)]
                   : nullptr;
    }
    const int slot = outputSlot(block);
    return channel >= 0 && channel < kOutputCount && slot >= 0
               ? m_outputs[size_t(channel)].blocks[size_t(slot)]
               : nullptr;
}

xSkinButton* CHomeDlg::matrixButton(int r, int t) const {
    return r >= 0 && r < kOutputCount && t >= 0 && t < kInputCount ? m_outputs[size_t(r)].matrix[size_t(t)]
                                                                   : nullptr;
}

int CHomeDlg::matrixBitmap(int r, int t) const {
    return r >= 0 && r < kOutputCount && t >= 0 && t < kInputCount
               ? m_outputs[size_t(r)].matrixBitmaps[size_t(t)]
               : 0;
}

SysComboBox* CHomeDlg::linkList(uint8_t kind, int channel) const {
    if (kind == kKindInput)
        return channel >= 0 && channel < kInputCount ? m_inputs[size_t(channel)].link : nullptr;
    return channel >= 0 && channel < kOutputCount ? m_outputs[size_t(channel)].link : nullptr;
}

QLabel* CHomeDlg::caption(uint8_t kind, int channel) const {
    if (kind == kKindInput)
        return channel >= 0 && channel < kInputCount ? m_inputs[size_t(channel)].caption : nullptr;
    return channel >= 0 && channel < kOutputCount ? m_outputs[size_t(channel)].caption : nullptr;
}

} // namespace velmar
