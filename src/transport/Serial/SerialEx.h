// CSerialEx: a serial port with a listener thread that waits for line events and hands each to OnEvent.
#pragma once

#include "Serial.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmar {

class CSerialEx : public CSerial {
public:
    CSerialEx();
    ~CSerialEx() override;

    // Opens with overlapped I/O (timed reads, writes and waits) and, with fStartListener, starts the
    // listener. Owner thread.
    int32_t Open(const char* device, uint32_t dwInQueue = 0, uint32_t dwOutQueue = 0,
                 bool fStartListener = false) override;
    // Stops the listener (waiting as long as it takes), then closes the port. Owner thread.
    int32_t Close() override;

    // Starts the listener thread unless it already runs. Owner thread.
    virtual int32_t StartListener();
    // Ends the listener: re-applies the event mask, which ends its wait, and waits up to timeoutMs for
    // the thread to finish. Always returns 0. Owner thread.
    virtual int32_t StopListener(uint32_t timeoutMs = kSerialInfinite);

    bool IsListening() const { return m_hThread.joinable(); }

protected:
    // Called on the listener thread for every line event within the mask, with the line error flags
    // read at that moment. It must not block for long and must not read data. A class that implements
    // it must Close in its own destructor, while OnEvent still exists.
    virtual void OnEvent(uint32_t eEvent, uint32_t eError) = 0;

    std::atomic<bool> m_fStopping{false};
    std::thread m_hThread;
    UniqueFd m_hevtOverlappedWorkerThread; // eventfd that ends the listener's wait

private:
    void ThreadProc();

    // Guards m_threadDone, which the listener sets as it ends, so StopListener can wait with a limit.
    std::mutex m_threadMutex;
    std::condition_variable m_threadEnded;
    bool m_threadDone = false;
};

} // namespace velmar
