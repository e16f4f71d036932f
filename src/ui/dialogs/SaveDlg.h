// CSaveDlg: the rename dialog of the program Save dialog - one name of at most 15 characters.
#pragma once

#include "ui/app/AppState.h"

#include <QByteArray>
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmar {

// Modal, opened by a double click in the Save dialog with the row's current name. The field takes at
// most 15 printable ASCII characters (the processor's name field is 16 bytes with a closing zero, and
// its display knows no other characters). OK (or Enter) keeps the text as name() and closes; Cancel
// (or Escape) leaves everything as it was. UI thread only.
class CSaveDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxChars = 15;

    CSaveDlg(AppState& app, QWidget* parent, const QString& currentName);

    QString name() const { return m_name; }
    // Whether the name that OK kept differs from the one the dialog opened with: a name the user did not
    // change is never written back (bytes the field cannot show would come back as "?").
    bool changed() const { return m_name != m_initial; }
    QLineEdit* field() const { return m_field; }
    QPushButton* okButton() const { return m_ok; }

    // The bytes that go into the name field: printable ASCII only (anything else becomes "?"), at most
    // 15 of them.
    static QByteArray nameBytes(const QString& text);

    void accept() override;

private:
    QLineEdit* m_field = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_name;
    QString m_initial;
};

} // namespace velmar
