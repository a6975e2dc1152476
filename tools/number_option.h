#pragma once
// A number given to a build tool's option: the whole text must be a number
// in lo..hi, or the tool stops with one line that names the option, the
// range and what was given.
#include <charconv>
#include <string>
#include <string_view>

#include "miscli/stop.h"

namespace tools {

// `tool` names the program, `kind` the number ("number", "whole number").
template <class T>
T number_option(std::string_view tool, std::string_view kind, std::string_view opt, std::string_view text, T lo,
                T hi) {
    T v{};
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !(v >= lo && v <= hi))
        miscli::stop(std::string(tool) + ": " + std::string(opt) + " wants a " + std::string(kind) + " from " +
                     std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" + std::string(text) + "\"");
    return v;
}

}  // namespace tools
