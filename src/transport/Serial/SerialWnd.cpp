// CSerialWnd: line events become posted Qt events for the destination object's thread.
#include "SerialWnd.h"

#include "SerialTrace.h"

#include <QCoreApplication>
#include <QThread>

namespace velmar {

CSerialWnd::CSerialWnd() = default;

CSerialWnd::~CSerialWnd() {
    if (IsOpen()) {
        SerialTrace("CSerialWnd::~CSerialWnd - Serial port not closed\n");
        CSerialWnd::Close();
    }
}

int CSerialWnd::DefaultComMsg() {
    static const int type = QEvent::registerEventType();
    return type;
}

int32_t CSerialWnd::Open(const char* device, QObject* hwndDest, int nComMsg, intptr_t lParam,
                         uint32_t dwInQueue, uint32_t dwOutQueue) {
    const int32_t result = CSerialEx::Open(device, dwInQueue, dwOutQueue, false);
    if (result != 0) return result;
    if (!m_inbox) m_inbox = std::make_unique<ThreadInbox>();
    {
        std::lock_guard lock(m_destMutex);
        m_hwndDest = hwndDest;
        m_nComMsg = nComMsg ? nComMsg : DefaultComMsg();
        m_lParam = lParam;
    }
    const int32_t started = StartListener();
    if (started != 0) {
        Close();
        SetLastError(started);
        return started;
    }
    return 0;
}

int32_t CSerialWnd::Close() {
    {
        std::lock_guard lock(m_destMutex);
        m_hwndDest = nullptr;
        m_nComMsg = 0;
    }
    const int32_t result = CSerialEx::Close();
    // Events posted before the listener stopped are dropped with the port.
    if (m_inbox) m_inbox->clear();
    return result;
}

void CSerialWnd::OnEvent(uint32_t eEvent, uint32_t eError) {
    const uint32_t wParam = (eEvent & 0xFFFF) | (eError << 16);
    std::lock_guard lock(m_destMutex);
    if (!m_hwndDest || !m_inbox) return;
    m_inbox->post([this, type = m_nComMsg, wParam, lParam = m_lParam] { Deliver(type, wParam, lParam); });
}

void CSerialWnd::Deliver(int type, uint32_t wParam, intptr_t lParam) {
    QObject* dest;
    {
        std::lock_guard lock(m_destMutex);
        dest = m_hwndDest;
    }
    // A port closed since then has nobody to tell.
    if (!dest) return;
    if (dest->thread() == QThread::currentThread()) {
        SerialLineEvent event(type, wParam, lParam);
        QCoreApplication::sendEvent(dest, &event);
    } else {
        QCoreApplication::postEvent(dest, new SerialLineEvent(type, wParam, lParam));
    }
}

} // namespace velmar
