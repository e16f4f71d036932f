// Texts of the message boxes the core raises.
#include "core/CoreMessages.h"

namespace velmar {

const char* CoreMessageText(CoreMessage message, uint8_t languageFlag) {
    const bool zh = languageFlag == 1;
    switch (message) {
    case CoreMessage::ComConnectError:
        return zh ? "串口连接错误" : "COM connect error";
    // The Chinese text is the one the processor's users know; English gets its own wording.
    case CoreMessage::UsbConnectError:
        return zh ? "USB连接错误" : "USB connect error";
    case CoreMessage::WifiConnectError:
        return zh ? "网络连接错误" : "WIFI connect error";
    // The channel-copy confirmations are English under both language settings.
    case CoreMessage::InputCopyDone:
        return "Input Channel Copy successful";
    case CoreMessage::OutputCopyDone:
        return "Output Channel Copy successful";
    }
    return "";
}

void ShowCoreMessage(CoreState& s, CoreMessage message, const char* caption) {
    if (s.hooks.showMessage) s.hooks.showMessage(CoreMessageText(message, s.languageFlag), caption);
}

} // namespace velmar
