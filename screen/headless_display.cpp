#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "miscli/console.h"
#include "miscli/stop.h"
#include "miscli/utf8.h"
#include "screen/display.h"

namespace screen {

namespace {

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
        if (j > i) out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

bool same_word(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool real_of(std::string_view w, double& v) {
    if (!w.empty() && w[0] == '+') w.remove_prefix(1);
    auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    return r.ec == std::errc() && r.ptr == w.data() + w.size() && std::isfinite(v);
}

bool int_of(std::string_view w, int& v) {
    auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    return r.ec == std::errc() && r.ptr == w.data() + w.size();
}

bool position(const std::vector<std::string_view>& w, std::size_t at, ScriptEvent& e, std::string& reason) {
    if (w.size() == at) return true;
    if (w.size() != at + 2) {
        reason = "a position is two numbers X Y";
        return false;
    }
    if (!real_of(w[at], e.x) || !real_of(w[at + 1], e.y)) {
        reason = "X and Y must be numbers";
        return false;
    }
    e.has_position = true;
    return true;
}

struct KeyName {
    const char* name;
    int code;
};
constexpr KeyName kKeyNames[] = {{"Enter", 13}, {"Backspace", 8}, {"Delete", 127}, {"Escape", 27}, {"Space", 32}};

}  // namespace

bool parse_event_line(std::string_view line, ScriptEvent& e, std::string& reason) {
    e = ScriptEvent{};
    auto w = words(line);
    if (w.empty()) {
        reason = "an empty line where a window event was expected";
        return false;
    }
    if (same_word(w[0], "key")) {
        e.kind = ScriptEvent::Key;
        if (w.size() < 2) {
            reason = "key needs a character";
            return false;
        }
        std::string_view c = w[1];
        std::size_t end = 0;
        const std::optional<char32_t> one = miscli::next_utf8(c, end);
        if (one && end == c.size() && (*one >= 33 && !miscli::is_control(*one))) {
            e.code = static_cast<int>(*one);
        } else {
            auto k = std::find_if(std::begin(kKeyNames), std::end(kKeyNames),
                                  [&](const KeyName& n) { return same_word(c, n.name); });
            if (k == std::end(kKeyNames)) {
                reason = "the key is one printable character or Enter, Backspace, Delete, Escape, Space";
                return false;
            }
            e.code = k->code;
        }
        return position(w, 2, e, reason);
    }
    if (same_word(w[0], "click")) {
        e.kind = ScriptEvent::Click;
        return position(w, 1, e, reason);
    }
    if (same_word(w[0], "type")) {
        e.kind = ScriptEvent::Type;
        // The text is everything after "type" and one blank, blanks kept.
        std::size_t at = line.find_first_not_of(" \t");
        at += 4;
        if (at < line.size()) ++at;
        const std::string_view text = line.substr(std::min(at, line.size()));
        // Characters beyond ASCII, in UTF-8, are typed as keys of their own.
        for (std::size_t i = 0; i < text.size();) {
            const std::optional<char32_t> c = miscli::next_utf8(text, i);
            if (!c || miscli::is_control(*c)) {
                reason = "type takes printable characters only";
                return false;
            }
        }
        e.text = std::string(text);
        return true;
    }
    if (same_word(w[0], "resize")) {
        e.kind = ScriptEvent::Resize;
        if (w.size() != 3 || !int_of(w[1], e.width) || !int_of(w[2], e.height)) {
            reason = "resize needs the width and height in pixels";
            return false;
        }
        if (e.width < 2 || e.height < 2 || e.width > 10000 || e.height > 10000) {
            reason = "the window size must be 2 to 10000 pixels each way";
            return false;
        }
        return true;
    }
    reason = "expected key C [X Y], click [X Y], type TEXT or resize W H";
    return false;
}

void HeadlessDisplay::open(int, int, int width, int height, const std::string&) {
    canvas_.create(width < 1 ? default_width_ : width, height < 1 ? default_height_ : height, Rgb{255, 255, 255});
    open_ = true;
    pending_.clear();
}

void HeadlessDisplay::close() {
    canvas_.destroy();
    open_ = false;
    pending_.clear();
}

DisplayEvent HeadlessDisplay::next_event(const UnitBox& units) {
    if (!pointer_set_) {
        pointer_x_ = (units.left + units.right) / 2;
        pointer_y_ = (units.bottom + units.top) / 2;
        pointer_set_ = true;
    }
    if (!pending_.empty()) {
        DisplayEvent e = pending_.back();
        pending_.pop_back();
        e.ux = pointer_x_;
        e.uy = pointer_y_;
        return e;
    }
    std::string line;
    if (!miscli::console().read_event_line(line))
        miscli::stop(" The session script ended while the program waited for a key or click in the graphics window.");
    ScriptEvent se;
    std::string reason;
    if (!parse_event_line(line, se, reason))
        miscli::stop(" Bad event line in the session script: \"" + line + "\" (" + reason + ").");
    if (se.has_position) {
        double x0 = std::min(units.left, units.right), x1 = std::max(units.left, units.right);
        double y0 = std::min(units.bottom, units.top), y1 = std::max(units.bottom, units.top);
        if (se.x < x0 || se.x > x1 || se.y < y0 || se.y > y1)
            miscli::stop(" Bad event line in the session script: \"" + line + "\" (the position is outside the window).");
        pointer_x_ = se.x;
        pointer_y_ = se.y;
    }
    DisplayEvent e;
    e.in_units = true;
    e.ux = pointer_x_;
    e.uy = pointer_y_;
    switch (se.kind) {
    case ScriptEvent::Key:
        e.kind = DisplayEvent::Key;
        e.code = se.code;
        return e;
    case ScriptEvent::Click:
        e.kind = DisplayEvent::Click;
        return e;
    case ScriptEvent::Resize:
        e.kind = DisplayEvent::Resize;
        e.width = se.width;
        e.height = se.height;
        return e;
    case ScriptEvent::Type: {
        DisplayEvent k = e;
        k.kind = DisplayEvent::Key;
        k.code = 13;
        pending_.push_back(k);
        std::vector<int> keys;
        for (std::size_t i = 0; i < se.text.size();) keys.push_back(static_cast<int>(*miscli::next_utf8(se.text, i)));
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            k.code = *it;
            pending_.push_back(k);
        }
        DisplayEvent first = pending_.back();
        pending_.pop_back();
        return first;
    }
    }
    return e;
}

}  // namespace screen
