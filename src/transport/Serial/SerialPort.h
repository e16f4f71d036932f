// SerialPort: the application's serial port object, a CSerialWnd that posts to a Qt object.
#pragma once

#include "SerialWnd.h"

#include <QString>

namespace velmar {

class SerialPort : public CSerialWnd {
public:
    SerialPort() = default;
    ~SerialPort() override;

    using CSerialWnd::Open;
    // Opens by a path (or a name below /dev such as "ttyUSB0") with window as the destination of its
    // line events and the default message. Owner thread.
    int32_t Open(const QString& device, QObject& window, int nComMsg = 0, intptr_t lParam = 0,
                 uint32_t dwInQueue = 0, uint32_t dwOutQueue = 0);
    // Replaces the destination alone; nullptr stops posting. Owner thread.
    void SetDestination(QObject* window);

    // The device path for a port name from the port list: names without a "/" live in /dev.
    static QString DevicePath(const QString& portName);
};

} // namespace velmar
