// Texts of the messages the links raise for the user, in both languages.
#pragma once

#include <cstdint>

namespace velmar {

enum class LinkMessage : uint8_t {
    UnableToOpenComPort, // the serial port could not be opened or set up
    DeviceDisconnect,    // a USB frame met a closed link
    DeviceNotFound,      // the open USB device was removed
    CantOpenWifi,        // the TCP connect failed or timed out
};

struct LinkMessageText {
    const char* text;    // UTF-8
    const char* caption; // may be empty
};

// The text for languageFlag 0 (English) or 1 (Chinese). Any thread.
LinkMessageText LinkMessageFor(LinkMessage message, uint8_t languageFlag);

} // namespace velmar
