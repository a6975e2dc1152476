#include "daz/input.h"

#include <vector>

#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/text_field.h"
#include "miscli/utf8.h"
#include "screen/screen.h"

namespace daz {

namespace {

// Window-unit positions of the strip (prompts) and the echo area.
constexpr int kStripX1 = 0, kStripY1 = 0, kStripX2 = 6000, kStripY2 = 200;
constexpr int kEchoX1 = 6000, kEchoY1 = 0, kEchoX2 = 10000, kEchoY2 = 200;
constexpr int kTextX = 100, kTextY = 170, kEchoX = 6200, kEchoY = 170;

bool printable(char c) { return c >= 33 && c <= 126; }

// The position of the last printable character (0 when there is none).
std::size_t shown_length(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && !printable(text[n - 1])) --n;
    return n;
}

void clear_strip() { screen::windowcleararea_(kStripX1, kStripY1, kStripX2, kStripY2); }
void clear_echo() { screen::windowcleararea_(kEchoX1, kEchoY1, kEchoX2, kEchoY2); }

void show_prompt(std::string_view prompt, const miscli::Question& q) {
    clear_strip();
    std::string text(prompt.substr(0, shown_length(prompt)));
    text += ": ";
    scrtxt_(text, q);
}

}  // namespace

void scrtxt_(std::string_view text) {
    clear_strip();
    std::size_t n = shown_length(text);
    // Kept inside the strip, so the next clear leaves nothing of it behind
    // in a narrow window.
    if (n > 0) screen::write_text_in_box(kTextX, kTextY, text.substr(0, n), kStripX1, kStripY1, kStripX2, kStripY2);
}

void scrtxt_(std::string_view text, const miscli::Question& q) {
    miscli::console().window_question(q, text.substr(0, shown_length(text)));
    scrtxt_(text);
}

void getchar_(std::string_view prompt, char& answer, const miscli::Question& q) {
    if (devcom.device_code != 'S') return;
    show_prompt(prompt, q);
    for (;;) {
        screen::wmessageenable_(screen::kKeyPress, 1);
        int type = 0;
        screen::EventRecord event;
        screen::wmessage_(type, event);
        if (type == screen::kKeyPress) {
            answer = static_cast<char>(event.value[0]);
            clear_echo();
            return;
        }
        if (type == screen::kButtonPress) {
            answer = 'K';
            return;
        }
    }
}

namespace {

// Collects a line ended by Enter into `typed`, at most `length` characters,
// echoed at the right of the strip; keys beyond ASCII count only with
// `utf8` and are kept as UTF-8.
void read_line(std::string_view prompt, std::string& typed, std::size_t length, bool utf8,
               const miscli::Question& q) {
    show_prompt(prompt, q);
    std::vector<std::size_t> starts;  // where each character starts in typed
    typed.clear();
    for (;;) {
        int type = 0;
        screen::EventRecord event;
        screen::wmessage_(type, event);
        if (type != screen::kKeyPress) return;
        const int k = event.value[0];
        if (k == 10 || k == 13) {
            clear_echo();
            return;
        }
        if (k == 8 || k == 127) {
            if (!starts.empty()) {
                typed.resize(starts.back());
                starts.pop_back();
            }
            clear_echo();
            screen::windowoutstring_(kEchoX, kEchoY, typed);
        } else if (starts.size() < length &&
                   ((k >= 32 && k <= 126) || (utf8 && k > 126 && !miscli::is_control(static_cast<char32_t>(k)) &&
                                              k <= 0x10FFFF && (k < 0xD800 || k > 0xDFFF)))) {
            starts.push_back(typed.size());
            miscli::append_utf8(typed, static_cast<char32_t>(k));
            screen::windowoutstring_(kEchoX, kEchoY, typed);
        }
    }
}

}  // namespace

void getstring_(std::string_view prompt, std::string& answer, const miscli::Question& q) {
    if (devcom.device_code != 'S') return;
    std::string typed;
    read_line(prompt, typed, answer.size(), false, q);
    answer = miscli::field(typed, answer.size());
}

void gettext_(std::string_view prompt, std::string& answer, std::size_t length, const miscli::Question& q) {
    if (devcom.device_code != 'S') return;
    std::string typed;
    read_line(prompt, typed, length, true, q);
    answer = typed + std::string(length - miscli::utf8_length(typed).value_or(length), ' ');
}

void ginch_(float& x, float& y, char& key) {
    if (devcom.device_code != 'S') return;
    int type = 0;
    screen::EventRecord event;
    do {
        screen::wmessage_(type, event);
    } while (type != screen::kKeyPress && type != screen::kButtonPress);
    if (devcom.orientation == 'X') {
        x = event.gx;
        y = event.gy;
    } else {
        x = 8.0f - event.gy;
        y = event.gx;
    }
    key = type == screen::kKeyPress ? static_cast<char>(event.value[0]) : '$';
}

}  // namespace daz
