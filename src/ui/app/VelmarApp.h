// CVelmarApp: the application object - the one AppState, the links, the languages and the main window.
#pragma once

#include "ui/app/AppState.h"
#include "ui/app/LanguageManager.h"

#include <memory>

class QApplication;

namespace velmar {

class CVelmarDlg;
class HidBackend;
class LinkController;

// Owns, for the whole run, the AppState (with the protocol core's state), the LinkController that
// reaches the processor and the user-interface languages, and creates the main window. Construct it
// after the QApplication and destroy it before; the window goes first, then the links, then the state.
// UI thread only.
class CVelmarApp {
public:
    // hid: the USB HID access (HidapiBackend in the application, nullptr for none). hooks: how windows
    // raise boxes and dialogs (UiHooks::interactive() in the application; recorders in tests).
    CVelmarApp(std::unique_ptr<HidBackend> hid, UiHooks hooks);
    ~CVelmarApp();
    CVelmarApp(const CVelmarApp&) = delete;
    CVelmarApp& operator=(const CVelmarApp&) = delete;

    // Resets the core, attaches the links and creates the main window (which initialises itself).
    // Call once.
    void InitInstance();
    // Shows the main window and runs the event loop until it closes; the exit code.
    int Run();

    AppState& state() { return m_state; }
    LinkController& links() { return *m_links; }
    LanguageManager& languages() { return m_languages; }
    CVelmarDlg* mainWindow() const { return m_window.get(); }

    // Fusion style, the application palette and font, and the application's name. Call once after
    // the QApplication exists, before any window is made.
    static void ApplyLook(QApplication& application);

private:
    AppState m_state;
    std::unique_ptr<LinkController> m_links;
    LanguageManager m_languages;
    std::unique_ptr<CVelmarDlg> m_window;
};

} // namespace velmar
