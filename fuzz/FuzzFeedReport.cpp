// Fuzz target: USB input reports into FeedReport. Input: a mode byte, two unused seed bytes, then
// 65-byte reports (report number first; a short last report is padded with zeros).
#include "ParserHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmar::fuzz::RunParserInput(data, size, true);
}
