// Fuzz target: serial and TCP chunks into FeedBytes. Input: a mode byte (link, scheduler state, device
// configuration, chunk style), two bytes of chunking seed, then the received byte stream.
#include "ParserHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmar::fuzz::RunParserInput(data, size, false);
}
