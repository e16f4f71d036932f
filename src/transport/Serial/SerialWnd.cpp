// CSerialWnd: line events become posted Qt events for the destination object's thread.
#include "SerialWnd.h"

#include "SerialTrace.h"

#include <QCoreApplication>

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
    return CSerialEx::Close();
}

void CSerialWnd::OnEvent(uint32_t eEvent, uint32_t eError) {
    const uint32_t wParam = (eEvent & 0xFFFF) | (eError << 16);
    std::lock_guard lock(m_destMutex);
    if (m_hwndDest) QCoreApplication::postEvent(m_hwndDest, new SerialLineEvent(m_nComMsg, wParam, m_lParam));
}

} // namespace velmar
