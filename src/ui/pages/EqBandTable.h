// EqBandTable: the ten equaliser band rows of the Input and Output pages with their column captions.
#pragma once

#include "core/DeviceImage.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace velmar {

class NumericEntry;
class StepButtons;

// Row r edits band r: frequency, Q (or, for a shelf, the shelf-slope list in its place), gain, type and
// Bypass, each entry with its up-down control. The table only shows what the page gives it and reports
// what the user did; the page decides, writes the image and shows the band again. Only user actions are
// reported: showing a band never emits a signal. Owned by its page; user-interface thread only.
class EqBandTable : public QWidget {
    Q_OBJECT

public:
    // What ShowBand redraws, as a bit set.
    enum Field : int { kFreq = 1, kQ = 2, kGain = 4, kType = 8, kSlope = 16, kAllFields = 31 };
    enum class Column { Band, Freq, Q, Gain, Type, Bypass };

    static constexpr int kRowHeight = 26;
    static constexpr int kControlHeight = 22;
    static constexpr int kHeaderHeight = 18;
    static constexpr int kHeight = kHeaderHeight + kBandCount * kRowHeight;

    struct Row {
        QLabel* number = nullptr;
        NumericEntry* freq = nullptr;
        StepButtons* freqStep = nullptr;
        NumericEntry* q = nullptr;
        StepButtons* qStep = nullptr;
        QComboBox* slope = nullptr; // "6dB", "12dB": in the Q column while the band is a shelf
        NumericEntry* gain = nullptr;
        StepButtons* gainStep = nullptr;
        QComboBox* type = nullptr;
        QPushButton* bypass = nullptr;
    };

    explicit EqBandTable(QWidget* parent = nullptr);

    // Shows `fields` of band r from `band` (frequency "%d", Q from the Q table "%.3f" with the Q/slope
    // swap, gain "%3.1f" with the Bypass check at 0 dB, type and slope selections).
    void ShowBand(int r, const PeqBand& band, int fields);
    void SetCaptions(const QString& freq, const QString& q, const QString& gain, const QString& type,
                     const QString& bypass);
    // Refills every type list with `names` (PEQ, low shelf, high shelf) and selects each band's type.
    void SetTypeNames(const QStringList& names, const PeqBand* bands);
    // The Input page shows the type only; the Output page lets it be chosen.
    void SetTypeListsEnabled(bool enabled);
    void SetBypassText(const QString& text);
    void SetToolTips(const QString& bypass, const QString& type);

    const Row& row(int r) const { return m_rows[size_t(r)]; }
    QLabel* caption(Column column) const { return m_captions[size_t(column)]; }
    // Width the rows need with the narrowest column gaps.
    static int MinimumWidth();

signals:
    void freqCommitted(int band, const QString& text);
    void qCommitted(int band, const QString& text);
    void gainCommitted(int band, const QString& text);
    void freqStepped(int band, bool up);
    void qStepped(int band, bool up);
    void gainStepped(int band, bool up);
    void typeChosen(int band, int index);
    void slopeChosen(int band, int index);
    void bypassClicked(int band, bool checked);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeColumns();

    std::array<Row, kBandCount> m_rows{};
    std::array<QLabel*, 6> m_captions{};
};

} // namespace velmar
