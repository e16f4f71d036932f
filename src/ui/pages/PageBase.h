// PageBase: what every page of the main window's tab control offers the main window.
#pragma once

#include "ui/app/AppState.h"

#include <QWidget>

namespace velmar {

// A page is a child of the main window's tab control, created at start and living until exit. The main
// window places it (the short rectangle above the graph for the Input, Output and Graphic EQ pages,
// the tall one for Home, Gain and Delay), shows and hides it, and calls Refresh whenever it shows it,
// after an image read-back and after a language switch while the page is shown.
//
// Pages reach the application's state through app(): the image and side tables in app().core, the
// language (app().core.languageFlag, or simply tr() against the installed translation), the device
// configuration (app().core.deviceConfig), the selection (currentTab, currentChannel,
// channelPageKind), the response graph (app().graph) and the message box (app().showMessage). They
// ask the main window for a tab with app().post(kMsgSelectTab, 0, tab) and for a refresh after the
// image changed with app().post(kMsgRefresh, 0, 255). UI thread only.
class PageBase : public QWidget {
    Q_OBJECT

public:
    PageBase(AppState& app, QWidget* parent);

    // Redraw every control from the image (single-channel pages: for app().currentChannel), apply
    // the device configuration and set every text in the current language.
    virtual void RefreshPage() = 0;

    // What the main window calls: counts the refresh, then RefreshPage.
    void Refresh();
    // How often the main window refreshed this page (kept for the main window's tests).
    int refreshCount() const { return m_refreshCount; }

    AppState& app() const { return m_app; }

protected:
    // Draws a page that is not built yet: its name over the page background.
    void paintPlaceholder(const QString& title, const QString& detail);

private:
    AppState& m_app;
    int m_refreshCount = 0;
};

} // namespace velmar
