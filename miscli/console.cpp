#include "miscli/console.h"

#include <iostream>

#include "miscli/stop.h"

namespace miscli {

Console::Console() : in_(&std::cin), out_(&std::cout) {}

void Console::write_line(std::string_view line) {
    if (answerer_) {
        answerer_->console_line(line);
        return;
    }
    *out_ << line << '\n';
    out_->flush();
}

bool Console::try_read_line(std::string& line) {
    if (answerer_) return answerer_->next_line(line);
    if (!std::getline(*in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::string Console::read_line() {
    std::string line;
    if (!try_read_line(line)) stop(" Console input ended before the question was answered.");
    return line;
}

void Console::window_prompt(std::string_view text) {
    if (answerer_) answerer_->window_prompt(text);
}

void Console::restore() {
    in_ = &std::cin;
    out_ = &std::cout;
}

Console& console() {
    static Console the_console;
    return the_console;
}

ConsoleRedirect::ConsoleRedirect(std::istream& in, std::ostream& out)
    : old_in_(&console().in()), old_out_(&console().out()) {
    console().redirect(in, out);
}

ConsoleRedirect::~ConsoleRedirect() { console().redirect(*old_in_, *old_out_); }

}  // namespace miscli
