// CSystemDlg: the System menu's Configure dialog - channel copy, noise gates, the processor's name.
#pragma once

#include "ui/app/AppState.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace velmar {

class SysComboBox;

// Modal, made afresh for every run; keeps no data of its own. It offers as many inputs and outputs as
// the device configuration has:
// - Channel copy: a source and a target list per kind and an OK button, which copies the whole
//   channel (an output keeps its routing) with CopyChannel - one block write of the target, every curve
//   rebuilt, the pages refreshed and the confirmation box; nothing when source and target are equal.
// - Noise gate: one list of 121 thresholds (0dB .. -120dB) per input; choosing one stores
//   gateThreshold = 120 - item and queues unit 1 of that input (not propagated to linked inputs).
//   Only the inputs the configuration has show a gate: C and D are hidden on the two-input units and D
//   on the three-input unit too (a gate list for an input the unit lacks would edit nothing real).
// - The processor's identification text (system block bytes 64..79), shown only while connected and
//   never read beyond those 16 bytes.
// Enter and Escape only move the focus to the dialog; the close box closes it. UI thread only.
class CSystemDlg : public QDialog {
    Q_OBJECT

public:
    CSystemDlg(AppState& app, QWidget* parent);
    ~CSystemDlg() override;

    void OnInputCopy();
    void OnOutputCopy();
    void OnGateChosen(int input, int item);

    // The text at system block bytes 64..79, up to the first zero (all 16 bytes when none is).
    static QString identificationText(const SystemBlock& system);

    SysComboBox* inputSourceList() const { return m_inputSource; }
    SysComboBox* inputTargetList() const { return m_inputTarget; }
    SysComboBox* outputSourceList() const { return m_outputSource; }
    SysComboBox* outputTargetList() const { return m_outputTarget; }
    QPushButton* inputCopyButton() const { return m_inputCopy; }
    QPushButton* outputCopyButton() const { return m_outputCopy; }
    SysComboBox* gateList(int input) const { return m_gateLists[size_t(input)]; }
    QLabel* gateLabel(int input) const { return m_gateLabels[size_t(input)]; }
    QLabel* identification() const { return m_identification; }
    QGroupBox* copyGroup() const { return m_copyGroup; }
    QGroupBox* gateGroup() const { return m_gateGroup; }

private:
    void fill();
    void setTexts();

    AppState& m_app;
    QGroupBox* m_copyGroup = nullptr;
    QGroupBox* m_gateGroup = nullptr;
    QLabel* m_inputRow = nullptr;
    QLabel* m_outputRow = nullptr;
    QLabel* m_sourceColumn = nullptr;
    QLabel* m_targetColumn = nullptr;
    SysComboBox* m_inputSource = nullptr;
    SysComboBox* m_inputTarget = nullptr;
    SysComboBox* m_outputSource = nullptr;
    SysComboBox* m_outputTarget = nullptr;
    QPushButton* m_inputCopy = nullptr;
    QPushButton* m_outputCopy = nullptr;
    std::array<QLabel*, kInputCount> m_gateLabels{};
    std::array<SysComboBox*, kInputCount> m_gateLists{};
    QLabel* m_identification = nullptr;
};

} // namespace velmar
