// CtlSession: one velmarctl run against the processor: open the link, handshake and read the whole image
// as the application does, carry out the command, end with an exit code.
#pragma once

#include "core/CoreState.h"
#include "core/FieldTable.h"
#include "ctl/CtlOptions.h"
#include "ctl/FrameTrace.h"
#include "ctl/JsonWriter.h"
#include "transport/HidBackend.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class QEventLoop;

namespace velmar {
class LinkController;
}

namespace velmar::ctl {

// Threads: the session, its CoreState, its LinkController and its timer live on the thread that calls
// run(), which needs a QCoreApplication; received bytes reach the core there (see LinkController). The
// output streams are written on that thread only.
//
// The core is driven exactly as in the application: a 100 ms timer calls SchedulerTick and then
// LinkSupervisionTick. Whether a command has been answered is observed from the outside, through the
// core's trace hooks (which frame went out, which reply came in) and its scheduler state, never by
// changing the core.
class CtlSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;

    // hid is the HID access for --usb; nullptr uses the system's (hidapi). out takes the command's output,
    // err the messages and the --trace lines; both must outlive the session.
    CtlSession(CtlOptions options, std::ostream& out, std::ostream& err,
               std::unique_ptr<HidBackend> hid = nullptr, QObject* parent = nullptr);
    ~CtlSession() override;

    // Runs the command to its end in a local event loop and returns the exit code: 0 done, 1 link or
    // device error, time-out or values not confirmed, 2 usage or a refused value; diff: 0 equal,
    // 1 different, 2 usage or an unreadable file, 3 no comparison. Call once.
    int run();
    // Ends a running session at once with exit code 1 (a signal asked the program to stop).
    void interrupt();

    const CoreState& state() const { return *m_state; }

private:
    enum class Stage { Prepared, Opening, Handshake, ImageRead, Command, Done };

    // A command handed to the scheduler (or sent directly) and the reply that answers it.
    struct Await {
        uint8_t command = 0;                    // the frame that must have gone out
        int p1 = -1, p2 = -1, p3 = -1, p4 = -1; // its parameter bytes (-1: any)
        std::vector<uint8_t> replies;           // the reply commands that answer it
        bool wholeImage = false;                // the reply must carry the whole image
        std::string what;                       // "the write of inA gain"
        bool sent = false;
        bool answered = false;
    };

    // One triple of set, judged against the field's scale before the link is opened.
    struct Edit {
        ChannelRef channel;
        FieldRef field;
        FieldEntry entry;
        std::string value; // as typed, for the refusal message
        std::string label; // "out2 peq3.gain"
        std::string shown; // "out2 peq3.gain +3.0dB", the value written
        bool changed = false;
    };

    int prepare();
    bool applyEdits(bool refuse);
    void checkSet(bool tick);
    void reportUnconfirmed(const std::string& why);
    void startDiff();
    void onCoreEvent(CoreEvent event, int value);
    void installHooks();
    void openLink();
    void onTick();
    void afterReceive();
    void advance(bool tick);
    void startCommand();
    void checkCommand(bool tick);
    void startSet();
    void sendRename();
    void onMeterReading();
    void onImageReplaced();
    void onLinkLost();
    bool connectionSettled(bool tick);
    bool channelPresent(ChannelRef channel);
    void expect(Await await, int backstopTicks);
    void onFrameSent(const uint8_t* frame, size_t size);
    void onFrameReceived(const uint8_t* frame, size_t size);
    std::string waitingFor() const;
    void succeed(const std::string& output = {}, int code = 0);
    void fail(int code, const std::string& message);
    void finish(int code);

    CtlOptions m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    std::unique_ptr<HidBackend> m_hid;
    std::unique_ptr<CoreState> m_state;
    std::unique_ptr<LinkController> m_links;
    FrameTrace m_trace;
    QTimer m_tick;
    QEventLoop* m_loop = nullptr;

    Stage m_stage = Stage::Prepared;
    bool m_finished = false;
    int m_exitCode = 0;
    int m_ticksLeft = 0; // backstop of the current wait
    int m_handshakesSent = 0, m_handshakeReplies = 0;
    int m_imageReadsSent = 0, m_imageReplies = 0;
    int m_stragglerTicks = 0;
    bool m_storeFailed = false; // the core did not make the store (StoreFailed)

    // The prepared command.
    ChannelRef m_channel;
    FieldRef m_field;
    std::vector<Edit> m_edits;                // set
    bool m_editsQueued = false;               // writes went to the scheduler
    bool m_verifyAsked = false;               // a verify read was asked for once they were out
    bool m_reapply = false;                   // a late connection image replaced the edited image
    std::unique_ptr<DeviceImage> m_fileImage; // load, diff
    Await m_await;
    int m_renameSends = 0;
    int m_renameTicks = 0;
    int m_meterReadings = 0;
    bool m_meterArrived = false;
    JsonWriter m_meterJson;
};

} // namespace velmar::ctl
