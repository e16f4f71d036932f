// CDelayDlg: the Delay page of the main window (drawn as a stand-in until the page is built).
#pragma once

#include "ui/pages/PageBase.h"

namespace velmar {

// Shown in the tall rectangle (the response graph is hidden). UI thread only; a child of the main
// window's tab control.
class CDelayDlg : public PageBase {
    Q_OBJECT

public:
    CDelayDlg(AppState& app, QWidget* parent);

    void RefreshPage() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmar
