// The Graphic EQ page.
#include "ui/pages/GEQDlg.h"

#include "core/ChannelLink.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "dsp/CurveSets.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/pages/PageStyle.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace velmar {

namespace {

constexpr int kTrack = 464, kThumb = 439, kThumbActive = 440;
constexpr int kFirstGeqParam = 12;
constexpr int kScaleWidth = 34;
constexpr int kLabelHeight = 15;
constexpr int kButtonWidth = 118;
constexpr int kButtonHeight = 24;
constexpr int kMargin = 6;

// The labels above the faders: the band centres, kilohertz written as "1K3".
constexpr const char* kBandLabels[kGeqBandCount] = {"20",  "25",  "32",  "40",  "50",  "63",  "80",  "100",
                                                    "125", "160", "200", "250", "315", "400", "500", "630",
                                                    "800", "1K",  "1K3", "1K6", "2K",  "2K5", "3K1", "4K",
                                                    "5K",  "6K3", "8K",  "10K", "13K", "16K", "18K"};
constexpr const char* kScaleTexts[9] = {"+20", "+15", "+10", "+5", "0dB", "-5", "-10", "-15", "-20"};

QLabel* MakeLabel(QWidget* parent, const QString& text, const QFont& font, QColor colour,
                  Qt::Alignment align) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(align);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

} // namespace

CGEQDlg::CGEQDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {
    setStyleSheet(ChannelPageStyleSheet());
    for (int b = 0; b < kGeqBandCount; ++b) {
        auto* f = new CBitmapSlider(1660 + b, this);
        f->SetChannelBitmaps(kTrack, 0, true);
        f->SetThumbBitmaps(kThumb, kThumbActive, true);
        f->SetMargins(8, 0, 0, 1);
        f->SetVertical(true);
        f->SetRange(0, kFaderMax);
        f->SetInvertedPos(kBandGainRawZero);
        f->setToolTip(tr("%1 Hz").arg(GeqCentreFrequency(b)));
        connect(
            f, &CBitmapSlider::sliderMoving, this, [this, b] { onFader(b); }, Qt::QueuedConnection);
        connect(
            f, &CBitmapSlider::sliderMoved, this, [this, b] { onFader(b); }, Qt::QueuedConnection);
        m_faders[size_t(b)] = f;
        m_bandLabels[size_t(b)] =
            MakeLabel(this, QString::fromLatin1(kBandLabels[b]), palette::condensedFont(11, true),
                      palette::kTextDim, Qt::AlignCenter);
        m_valueLabels[size_t(b)] =
            MakeLabel(this, QString(), palette::condensedFont(10), palette::kTextFaint, Qt::AlignCenter);
    }
    for (int i = 0; i < 18; ++i) {
        const bool left = i < 9;
        m_scaleLabels[size_t(i)] =
            MakeLabel(this, QString::fromLatin1(kScaleTexts[i % 9]), palette::condensedFont(10, i % 9 == 4),
                      i % 9 == 4 ? palette::kText : palette::kTextDim,
                      (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    m_reset = new QPushButton(this);
    m_reset->setObjectName(QStringLiteral("geqReset"));
    m_bypass = new QPushButton(this);
    m_bypass->setObjectName(QStringLiteral("eqBypass")); // lit while the bypass is in force
    m_bypass->setCheckable(true);
    for (QPushButton* b : {m_reset, m_bypass}) {
        b->setFont(palette::uiFont(12, true));
        b->setFocusPolicy(Qt::TabFocus);
    }
    connect(m_reset, &QPushButton::clicked, this, &CGEQDlg::EqReset);
    connect(m_bypass, &QPushButton::clicked, this, &CGEQDlg::EqBypassToggle);
    setTexts();
}

void CGEQDlg::setTexts() {
    m_reset->setText(tr("GEQ RESET"));
    m_bypass->setText(tr("GEQ BYPASS"));
    m_reset->setToolTip(tr("All 31 bands flat and the input's ten bands to their start values"));
    m_bypass->setToolTip(
        tr("Flattens the graphic EQ and the input's ten bands; press again to restore them"));
}

CGEQDlg::~CGEQDlg() = default;

// ---------------------------------------------------------------------------------------------------------
// Layout and drawing

int CGEQDlg::LevelY(int db) const {
    const CBitmapSlider* f = m_faders[0];
    return f->y() + f->pixelForPosition(kFaderMax - (kBandGainRawZero + 10 * db));
}

void CGEQDlg::resizeEvent(QResizeEvent* event) {
    PageBase::resizeEvent(event);
    place();
}

void CGEQDlg::place() {
    m_panelRect = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int rowWidth = 2 * kScaleWidth + kGeqBandCount * kFaderWidth;
    const int left = m_panelRect.left() + (m_panelRect.width() - rowWidth) / 2;
    const int labelsTop = m_panelRect.top() + 6;
    const int fadersTop = labelsTop + kLabelHeight + 2;
    for (int b = 0; b < kGeqBandCount; ++b) {
        const int x = left + kScaleWidth + b * kFaderWidth;
        m_faders[size_t(b)]->move(x, fadersTop);
        // The thumb's centre line is 15 pixels in (margin 8 and half the 14-pixel cap).
        m_bandLabels[size_t(b)]->setGeometry(x - 1, labelsTop, kFaderWidth + 2, kLabelHeight);
        m_valueLabels[size_t(b)]->setGeometry(x - 1, fadersTop + kFaderHeight + 1, kFaderWidth + 2, 13);
    }
    for (int i = 0; i < 9; ++i) {
        const int y = LevelY(20 - 5 * i);
        m_scaleLabels[size_t(i)]->setGeometry(left, y - 7, kScaleWidth - 6, 14);
        m_scaleLabels[size_t(9 + i)]->setGeometry(left + kScaleWidth + kGeqBandCount * kFaderWidth + 6, y - 7,
                                                  kScaleWidth - 6, 14);
    }
    const int buttonsTop = m_panelRect.bottom() - 6 - kButtonHeight;
    const int right = left + rowWidth;
    m_bypass->setGeometry(right - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    m_reset->setGeometry(right - 2 * kButtonWidth - 8, buttonsTop, kButtonWidth, kButtonHeight);
    update();
}

void CGEQDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette::kPage);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(palette::kBorder, 1));
    p.setBrush(palette::kPanel);
    p.drawRoundedRect(QRectF(m_panelRect).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Level lines behind the faders, every 5 dB, 0 dB brighter: a row of settings reads as a curve.
    const int x0 = m_faders[0]->x() + 4;
    const int x1 = m_faders[kGeqBandCount - 1]->geometry().right() - 4;
    for (int i = 0; i < 9; ++i) {
        const int db = 20 - 5 * i;
        p.setPen(db == 0 ? palette::kBorderLight : palette::kBorder);
        p.drawLine(x0, LevelY(db), x1, LevelY(db));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Refresh and the bands

void CGEQDlg::RefreshPage() {
    const int ch = app().currentChannel;
    if (ch < 0 || ch >= kInputCount) return;
    m_channel = ch;
    showChannel();
}

void CGEQDlg::showChannel() {
    const int ch = m_channel;
    // A drag's last step still on its way to the image is taken first, or the reload would undo it.
    TakeGraphChanges(ch);
    RefreshCurveSet(app().core, kCurveSetInputGeq, ch);
    if (app().graph) app().graph->ShowGeqCurves(ch);
    for (int b = 0; b < kGeqBandCount; ++b) showBand(b);
    setTexts();
    m_bypass->setChecked(app().eqBypass.Bypassed(kKindInput, ch));
}

void CGEQDlg::showBand(int band) {
    const int16_t raw = app().core.image.inputs[m_channel].geq[band];
    m_faders[size_t(band)]->SetInvertedPos(raw);
    QLabel* value = m_valueLabels[size_t(band)];
    value->setText(QString::fromStdString(BandGainText(raw)));
    QPalette p = value->palette();
    p.setColor(QPalette::WindowText, raw == kBandGainRawZero ? palette::kTextFaint : palette::kAccent);
    value->setPalette(p);
}

void CGEQDlg::BandStep(int channel, int band) {
    CoreState& s = app().core;
    QueueParamWrite(s, kKindInput, uint8_t(channel), uint8_t(kFirstGeqParam + band));
    CKTVEQ& set = inputGeqCurves[channel];
    set.Records().bands[band].gain = s.image.inputs[channel].geq[band];
    set.Filter(band).Recompute(true);
    if (channel == m_channel) {
        showBand(band);
        if (app().graph) app().graph->Redraw(band);
    }
    // Linked inputs get the word and a dirty flag; their curves are rebuilt when they are shown.
    LinkParam(s, kKindGeqWord, channel, band);
}

void CGEQDlg::onFader(int band) {
    const int ch = m_channel;
    app().core.image.inputs[ch].geq[band] = int16_t(m_faders[size_t(band)]->GetInvertedPos());
    BandStep(ch, band);
}

void CGEQDlg::TakeBandFromGraph(int band, int channel) {
    m_notice = {band, channel, m_notice.count + 1};
    if (channel < 0 || channel >= kInputCount || band < 0 || band >= kGeqBandCount) return;
    app().core.image.inputs[channel].geq[band] = inputGeqCurves[channel].Records().bands[band].gain;
    BandStep(channel, band);
}

void CGEQDlg::TakeGraphChanges(int channel) {
    if (!app().graph) return;
    for (const CFStatic::Change& c : app().graph->TakeChanges(CFStatic::kModeGeq, channel))
        TakeBandFromGraph(c.index, c.channel);
}

void CGEQDlg::EqReset() {
    TakeGraphChanges(m_channel);
    app().eqBypass.ResetEq(app().core, kKindInput, m_channel);
    showChannel();
}

void CGEQDlg::EqBypassToggle() {
    TakeGraphChanges(m_channel);
    app().eqBypass.ToggleEqBypass(app().core, kKindInput, m_channel);
    showChannel();
}

} // namespace velmar
