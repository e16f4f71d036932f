// PlaceholderDialog: the frame of a dialog that is not built yet - its caption, a line and OK/Cancel.
#pragma once

#include "ui/app/AppState.h"

#include <QDialog>

class QLabel;

namespace velmar {

// Base of the stand-ins for the program and system dialogs; the real dialogs replace the body.
// UI thread only.
class PlaceholderDialog : public QDialog {
    Q_OBJECT

public:
    PlaceholderDialog(AppState& app, QWidget* parent);

    AppState& app() const { return m_app; }

protected:
    void setBody(const QString& caption, const QString& text);

private:
    AppState& m_app;
    QLabel* m_text = nullptr;
};

} // namespace velmar
