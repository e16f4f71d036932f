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

// The single pending command of the scheduler and its counters; all single bytes.
struct CommandScheduler {
    uint8_t pending = 0; // 0, 0xA1, 0xA2, 0xA3, 0xA5, 0xA6, 0xA7, 0xA9 or 0xAF
    uint8_t p1 = 0, p2 = 0, p3 = 0, p4 = 0;
    uint8_t sent = 0;
    uint8_t tickCounter = 0;
    uint8_t retryCounter = 0;
    uint8_t moreDirty = 0;
    uint8_t sending = 0;
    // Set by the write and block steps when they put the pending 0xA1 / 0xA3 on the wire, cleared by
    // every queue operation: a queue operation that finds it clear knows it is replacing a write that
    // never left, and marks that write dirty again so no edit is dropped.
    uint8_t pendingWriteSent = 0;
    // A program store asked for while a parameter or block was dirty or a write was still pending. It
    // waits until the streamed writes are done, so the stored program holds every edit made before it,
    // and then goes out from the idle state. Dropped by a handshake, a program load or an image write.
    uint8_t storeDeferred = 0;
    uint8_t deferredProgram = 0;
    // Image replies still to come for program loads put on the wire: only the last one ends the load's
    // wait, so nothing goes out between two images. Forgotten at every handshake.
    uint8_t imagesDue = 0;
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
    ReceiveState rx{};
    uint8_t frameBuffer[kMaxFrame]{};
    uint8_t usbChunk[kUsbReportSize]{};

    CoreHooks hooks{};
};

} // namespace velmar
