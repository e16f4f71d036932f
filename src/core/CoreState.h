// The one application-state object the protocol core works on, and the hooks through which it reaches
// the world outside (transports, main window, message boxes, curve sets).
//
// Threading: exactly one thread (the UI thread, or the CLI's event loop) may touch a CoreState and call
// the core's functions on it. Transport reader threads hand their bytes over with a queued call.
#pragma once

#include "DeviceImage.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace velmar {

inline constexpr int kProgramNameCount = 40;
inline constexpr int kProgramNameSize = 25; // zero-terminated text of at most 16 characters
inline constexpr int kProgramNameChars = 16;
inline constexpr int kStoredPrograms = 12;
inline constexpr int kSystemBlockSize = 80;
inline constexpr int kMaxPayload = 1600;
inline constexpr int kFrameOverhead = 14;
inline constexpr int kMaxFrame = kMaxPayload + kFrameOverhead; // 1614
inline constexpr int kUsbReportSize = 64;
inline constexpr int kInputParamCount = 44;  // flags for parameter indices 0..43 (1..43 used)
inline constexpr int kOutputParamCount = 16; // flags for parameter indices 0..15 (1..13 used)

// Links the encoder can send on.
enum class LinkType : uint8_t { Serial = 0, Usb = 1, Tcp = 2 };

// Main-window messages, kept as the names of the routes they take.
inline constexpr uint32_t kMsgRefresh = 0x464;   // (0, 255) image changed; (index, kind) graph edit;
                                                 // (0xAA, 0xBB) link lost
inline constexpr uint32_t kMsgSelectTab = 0x465; // (0, tab index) from the Home page
inline constexpr uint32_t kMsgTcpReceive = 0x658;

// The processor-wide record received with the handshake reply.
struct SystemBlock {
    uint8_t bytes[kSystemBlockSize];
    uint8_t deviceAddress() const { return bytes[10]; }
    uint8_t currentProgram() const { return bytes[15]; }
    // Model digits at bytes 67 and 69 (ASCII), version text at 72..78.
    char inputDigit() const { return static_cast<char>(bytes[67]); }
    char outputDigit() const { return static_cast<char>(bytes[69]); }
};

struct MeterLevels {
    uint8_t inputLevel[kInputCount];
    uint8_t outputLevel[kOutputCount]; // bits 0..6 level, bit 7 limiting
    uint8_t extra[4];
    uint8_t selectedOutputLevel;
};
static_assert(sizeof(MeterLevels) == 17);

struct DirtyFlags {
    uint8_t input[kInputCount][kInputParamCount];
    uint8_t output[kOutputCount][kOutputParamCount];
    uint8_t block[kInputCount + kOutputCount]; // inputs 0..3, then outputs 0..7
};

// The scheduler's states. Each names what the single pending command is doing; the transitions are
// listed at the top of Scheduler.cpp.
enum class SchedState : uint8_t {
    Off,          // nothing queued since start
    Idle,         // heartbeats; picks up dirty flags, a waiting store and a due verify read
    ParamWrite,   // 0xA1, streamed: repeated every tick until acknowledged with nothing more dirty
    BlockWrite,   // 0xA3, awaits its reply
    Handshake,    // 0xA2 at connection, awaits the system block and names
    ProgramLoad,  // 0xA6 program n (0 = the read at connection): awaits the image that replaces ours
    ProgramStore, // 0xA5, only after a verify read agreed
    ImageWrite,   // 0xA7, a program file's image
    CompareRead,  // 0xA6 program 0 whose reply is compared with our image, never replaces it
    NameCheck,    // 0xA2 after a program-name write, its names compared, nothing else taken
    GiveUp,       // one tick back to Idle after a command was abandoned
};

// The single pending command of the scheduler and its counters.
struct CommandScheduler {
    SchedState state = SchedState::Off;
    uint8_t p1 = 0, p2 = 0, p3 = 0, p4 = 0;
    // A reply to the latest send is awaited; a timeout clears it so the next tick sends again.
    uint8_t sent = 0;
    // The pending command has gone out at least once: its reply may come even after a timeout. A write
    // replaced before it ever went out is marked dirty again, so no edit is dropped.
    uint8_t onWire = 0;
    uint8_t tickCounter = 0;
    // Timeouts of the pending command; cleared when it is answered or replaced.
    uint8_t retryCounter = 0;
    uint8_t moreDirty = 0;
    uint8_t sending = 0;
    // Image replies still to come for program loads put on the wire: only the last one ends the load's
    // wait, so nothing goes out between two images. A resend after a timeout adds none.
    uint8_t imagesDue = 0;
    // A program store asked for (1..12, 0 none): it waits until the writes are done and a verify read
    // agreed, so the stored program holds every edit made before it.
    uint8_t storeProgram = 0;
    uint8_t storeChecked = 0; // a verify read agreed since the store was asked for, nothing edited since
    // A program-name write to confirm (1..12, 0 none) and the tries of it so far.
    uint8_t nameProgram = 0;
    uint8_t nameTries = 0;
    uint8_t nameWrite = 0; // the name goes out again before the next check
};

// What the user is told about the processor agreeing with our image.
enum class SyncStatus : uint8_t {
    Unknown,     // not connected, or the image not read yet
    Synced,      // the last verify read agreed and nothing was edited since
    Checking,    // edits not verified yet, or a verify read on its way
    Unconfirmed, // rounds of repair without agreement: some units still differ
};

inline constexpr int kInputUnits = 44;  // per input: unit 0 (name), 1..11, graphic-EQ words 12..43
inline constexpr int kOutputUnits = 16; // per output: unit 0 (name), 1..13, unit 14 (carried only)
inline constexpr int kUnitCount = kInputCount * kInputUnits + kOutputCount * kOutputUnits;

// Verify and repair: the processor's image is read back and compared unit by unit with ours. A unit the
// PC wrote since the last agreement is sent again; a unit the PC did not touch is taken from the
// processor, which is the master copy.
struct VerifySettings {
    uint8_t afterEdits = 1;     // a verify read once a burst of writes has settled
    uint16_t quietTicks = 10;   // the quiet time that counts as settled
    uint16_t periodTicks = 300; // a verify read every so often while idle; 0 switches it off
    uint8_t maxRounds = 3;      // rounds of repair before the units are reported as not confirmed
};

struct VerifyState {
    VerifySettings settings{};
    uint32_t stamp = 0;                // counts edits
    uint32_t unitStamp[kUnitCount]{}; // the stamp of each unit's last edit
    uint8_t written[kUnitCount]{};    // written by the PC since the last agreement on that unit
    uint8_t differs[kUnitCount]{};    // still different at the last verify read
    uint32_t askedStamp = 0;           // the stamp when the image in flight was asked for
    uint8_t onWire = 0;                // a verify read awaits its reply
    uint8_t waitTicks = 0;             // ticks since it was sent
    uint8_t sends = 0;                 // sends of the verify read without a reply
    uint8_t requested = 0;             // a verify read is due as soon as the scheduler is free
    uint8_t probe = 0;                 // a heartbeat goes out before the read is tried again
    uint8_t rounds = 0;                // rounds without agreement since the last agreement
    uint16_t quiet = 0;                // idle ticks since the last command other than a heartbeat
    uint16_t sinceRead = 0;            // ticks since the last verify read or whole image
    uint16_t repaired = 0;             // fields sent again since the last agreement
    uint16_t unconfirmed = 0;          // fields still different after the rounds of repair
    SyncStatus status = SyncStatus::Unknown;
    DeviceImage device{};              // the processor's image at the last verify read, clamped
};

// Results the core reports through CoreHooks::event.
enum class CoreEvent : uint8_t {
    SyncChanged,       // verify.status or its counts changed
    Repaired,          // agreement after repairs; value: fields sent again
    ProcessorChanged,  // values taken from the processor; value: fields
    StoreDone,         // a program store answered; value: program
    StoreFailed,       // a program store not made: no agreement, or no answer; value: program
    LoadDone,          // a program load answered with its image; value: program
    LoadFailed,        // no image after every send; value: program
    ImportDone,        // an image write answered
    ImportFailed,      // an image write not answered after every send
    NameConfirmed,     // a program name read back as written; value: program
    NameUnconfirmed,   // a program name not read back after every try; value: program
};

struct ReceiveState {
    uint8_t inFrame = 0;
    uint8_t syncCount = 0;
    uint16_t index = 0;
    uint8_t silenceCounter = 0;
    uint8_t buffer[kMaxFrame]; // from the third sync byte on; at least 1612 bytes
};

// Message boxes the core itself raises. The texts in both languages come from CoreMessageText.
enum class CoreMessage : uint8_t {
    ComConnectError,  // serial link lost
    UsbConnectError,  // USB link lost
    WifiConnectError, // TCP link lost
    InputCopyDone,    // "Input Channel Copy successful"
    OutputCopyDone,   // "Output Channel Copy successful"
};

// Everything the core needs from outside. Any hook may be left empty: the core then does nothing there.
// Hooks are called synchronously on the core's thread and must not call back into the core (hand replies
// and events over with a queued call).
struct CoreHooks {
    // Serial and TCP: hand one whole frame to the active transport. The result is not looked at.
    std::function<void(const uint8_t* data, size_t size)> writeFrame;
    // USB: write one 64-byte report and wait (bounded) until the transport has finished with it.
    // firstOfFrame marks the first report of a frame, so the transport can bound the whole frame's wait
    // (about 100 ms). Returns false when the wait timed out or the link is gone: the encoder then
    // abandons the rest of that frame and the scheduler's retries cover it.
    std::function<bool(const uint8_t* report, bool firstOfFrame)> writeUsbReport;
    // Close the active link (link supervision closes it before its message).
    std::function<void()> closeLink;
    // Post a message to the main window (queued; delivered after the current call returns).
    std::function<void(uint32_t msg, uint32_t wParam, uint32_t lParam)> postMessage;
    // Show a message box with a text already in the current language; caption may be empty.
    std::function<void(const char* textUtf8, const char* captionUtf8)> showMessage;
    // Clear the response graph's pending-edit flag (every parameter-write step).
    std::function<void()> clearGraphPendingEdit;
    // A whole image arrived (or was copied): rebuild every filter curve from the image.
    std::function<void()> imageReplaced;
    // One channel's parameters were replaced by a link join: rebuild that channel's curves.
    std::function<void(uint8_t kind, int channel)> channelCurvesChanged;
    // Results of verify and repair and of the commands that report one (see CoreEvent). Called on the
    // core's thread; must not call back into the core.
    std::function<void(CoreEvent event, int value)> event;
    // Observers for tracing (for --trace and the soak): every frame sent, and every received frame that
    // passed its checks, each as the whole frame on the wire (three 0x5A through 0xAA).
    std::function<void(const uint8_t* data, size_t size)> traceSent;
    std::function<void(const uint8_t* data, size_t size)> traceFrameReceived;
};

struct CoreState {
    // The image and its side tables.
    DeviceImage image{};
    DeviceImage importImage{};
    SystemBlock system{};
    char programNames[kProgramNameCount][kProgramNameSize]{};
    MeterLevels meterLevels{};
    uint8_t inputLinkGroup[kInputCount]{};
    uint8_t outputLinkGroup[kOutputCount]{};
    DirtyFlags dirty{};
    uint8_t linkConfirmed = 0;       // 0 nothing, 1 system information, 2 whole image received
    uint8_t deviceConfigPending = 0; // system information received, configuration not yet derived

    // Application-wide connection state the core reads.
    uint8_t linkConnected = 0;
    LinkType activeLink = LinkType::Serial;
    uint8_t deviceAddress = 0;         // 0 until the connection dialog has been opened, then 1..250
    uint8_t deviceConfig = 7;          // 3..7, decides the order of meter bytes
    uint8_t languageFlag = 0;          // 0 English, 1 Chinese
    uint8_t selectedOutputChannel = 0; // output selected on the pages, for selectedOutputLevel

    CommandScheduler scheduler{};
    VerifyState verify{};
    ReceiveState rx{};
    uint8_t frameBuffer[kMaxFrame]{};
    uint8_t usbChunk[kUsbReportSize]{};

    CoreHooks hooks{};
};

} // namespace velmar
