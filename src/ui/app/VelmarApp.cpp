// The application object.
#include "ui/app/VelmarApp.h"

#include "core/Image.h"
#include "transport/HidBackend.h"
#include "transport/LinkController.h"
#include "ui/app/VelmarDlg.h"
#include "ui/artwork/Palette.h"

#include <QApplication>
#include <QStyleFactory>

namespace velmar {

CVelmarApp::CVelmarApp(std::unique_ptr<HidBackend> hid, UiHooks hooks)
    : m_links(std::make_unique<LinkController>(std::move(hid))) {
    m_state.ui = std::move(hooks);
    m_state.links = m_links.get();
}

CVelmarApp::~CVelmarApp() {
    m_window.reset();
    m_links.reset(); // detaches from the core first
    m_state.links = nullptr;
}

void CVelmarApp::InitInstance() {
    InitCoreState(m_state.core);
    m_links->attach(m_state.core);
    m_window = std::make_unique<CVelmarDlg>(m_state, m_languages);
}

int CVelmarApp::Run() {
    m_window->show();
    return QApplication::exec();
}

void CVelmarApp::ApplyLook(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Velmar"));
    QApplication::setOrganizationName(QStringLiteral("Velmar"));
    QApplication::setApplicationVersion(QStringLiteral(VELMAR_VERSION));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setPalette(palette::applicationPalette());
    application.setFont(palette::uiFont(13));
}

} // namespace velmar
