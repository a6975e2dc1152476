#include "miscli/console.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <iostream>

#include "miscli/stop.h"

namespace miscli {

Console::Console() : in_(&std::cin), out_(&std::cout) {}

std::string one_line(std::string_view line, bool ascii_only) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u != 127 && (u < 128 || !ascii_only)) {
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

bool Console::shows_progress() const {
    if (lost_) return false;
    const int fd = out_ == &std::cout ? 1 : out_ == &std::cerr ? 2 : -1;
    return fd >= 0 && isatty(fd) == 1;
}

void Console::show_progress(std::string_view text) {
    std::lock_guard lock(progress_mutex_);
    if (progress_paused_ || !shows_progress()) return;
    *out_ << '\r' << text << "\033[K" << std::flush;
    progress_shown_ = true;
}

void Console::end_progress() {
    std::lock_guard lock(progress_mutex_);
    wipe_progress();
}

void Console::wipe_progress() {
    if (!progress_shown_) return;
    *out_ << "\r\033[K" << std::flush;
    progress_shown_ = false;
}

void Console::write_line(std::string_view raw) {
    std::lock_guard lock(progress_mutex_);
    wipe_progress();
    const std::string line = one_line(raw);
    if (answerer_) {
        answerer_->console_line(line);
        return;
    }
    if (lost_) {
        std::cerr << line << '\n';
        return;
    }
    errno = 0;
    *out_ << line << '\n';
    out_->flush();
    if (!*out_) {
        const int err = errno != 0 ? errno : EIO;
        lost_ = true;
        out_->clear();
        stop(std::string(" Cannot write to standard output: ") + std::strerror(err) + "; the run ends.");
    }
}

void Console::write_prompt(std::string_view line) {
    if (!answerer_) write_line(line);
}

bool Console::read_stream(std::string& line) {
    if (!std::getline(*in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool Console::read_event_line(std::string& line) {
    if (answerer_) return answerer_->window_answer(line);
    return read_stream(line);
}

std::string Console::read_line(const Question& q) {
    // No progress line over a question while it waits.
    {
        std::lock_guard lock(progress_mutex_);
        wipe_progress();
        progress_paused_ = true;
    }
    std::string line;
    const bool answered = answerer_ ? answerer_->console_answer(q, line) : read_stream(line);
    {
        std::lock_guard lock(progress_mutex_);
        progress_paused_ = false;
    }
    if (!answered) stop(" Console input ended before the question was answered.");
    return line;
}

void Console::window_question(const Question& q, std::string_view text) {
    if (answerer_) answerer_->window_question(q, text);
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
