// Any line as a session-script event: parsed or refused with a reason,
// never a crash; a parsed key is one character, positions are finite.
#include <cmath>
#include <cstdint>
#include <string>

#include "screen/display.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    screen::ScriptEvent event;
    std::string reason;
    if (screen::parse_event_line(line, event, reason)) {
        if (!reason.empty()) __builtin_trap();
    } else if (reason.empty()) {
        __builtin_trap();
    }
    return 0;
}
