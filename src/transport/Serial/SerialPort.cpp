// SerialPort: opening by Qt object and port name, replacing the destination.
#include "SerialPort.h"

namespace velmar {

// An open port is reported and closed by ~CSerialWnd, whose OnEvent this class does not replace.
SerialPort::~SerialPort() = default;

int32_t SerialPort::Open(const QString& device, QObject& window, int nComMsg, intptr_t lParam,
                         uint32_t dwInQueue, uint32_t dwOutQueue) {
    const QByteArray path = DevicePath(device).toLocal8Bit();
    return CSerialWnd::Open(path.constData(), &window, nComMsg, lParam, dwInQueue, dwOutQueue);
}

void SerialPort::SetDestination(QObject* window) {
    std::lock_guard lock(m_destMutex);
    m_hwndDest = window;
}

QString SerialPort::DevicePath(const QString& portName) {
    if (portName.isEmpty() || portName.contains(QLatin1Char('/'))) return portName;
    return QStringLiteral("/dev/") + portName;
}

} // namespace velmar
