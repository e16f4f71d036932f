// CSerialWnd: a serial port whose line events are posted to a destination object on its own thread.
#pragma once

#include "SerialEx.h"
#include "transport/ThreadInbox.h"

#include <QEvent>

#include <cstdint>
#include <memory>
#include <mutex>

class QObject;

namespace velmar {

// The posted line event: wParam carries the event bits in its low 16 bits and the line error flags in
// its high 16 bits; lParam is the value given to Open, passed through unchanged.
class SerialLineEvent : public QEvent {
public:
    SerialLineEvent(int type, uint32_t wParam, intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(type)), m_wParam(wParam), m_lParam(lParam) {}
    uint32_t wParam() const { return m_wParam; }
    intptr_t lParam() const { return m_lParam; }
    uint16_t events() const { return static_cast<uint16_t>(m_wParam & 0xFFFF); }
    uint16_t errors() const { return static_cast<uint16_t>(m_wParam >> 16); }

private:
    uint32_t m_wParam;
    intptr_t m_lParam;
};

class CSerialWnd : public CSerialEx {
public:
    CSerialWnd();
    ~CSerialWnd() override;

    // The event type registered once per process under the name "CSerialWnd_DefaultComMsg"; used by
    // every port opened with message 0. Any thread.
    static int DefaultComMsg();

    using CSerialEx::Open;
    // Opens the port and starts the listener; every line event is posted to hwndDest (which must live
    // until Close) as a SerialLineEvent of type nComMsg, or DefaultComMsg() when 0. The events travel
    // to the owner's thread and are sent to the destination there (posted once more when it lives on
    // another thread). Events still queued when the port closes are dropped. Owner thread.
    virtual int32_t Open(const char* device, QObject* hwndDest, int nComMsg = 0, intptr_t lParam = 0,
                         uint32_t dwInQueue = 0, uint32_t dwOutQueue = 0);
    // Forgets the destination, then stops the listener and closes the port, so nothing is posted for a
    // closed port. Owner thread.
    int32_t Close() override;

protected:
    // Posts the event; never waits for the destination. Listener thread.
    void OnEvent(uint32_t eEvent, uint32_t eError) override;

    // Runs on the destination's thread: hands one event to the current destination.
    void Deliver(int type, uint32_t wParam, intptr_t lParam);

    std::unique_ptr<ThreadInbox> m_inbox; // carries events from the listener to the destination's thread
    // Guards m_hwndDest, m_nComMsg and m_lParam: the owner sets and clears them while the listener posts.
    std::mutex m_destMutex;
    QObject* m_hwndDest = nullptr;
    int m_nComMsg = 0;
    intptr_t m_lParam = 0;
};

} // namespace velmar
