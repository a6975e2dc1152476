#pragma once
// The console: the one pair of streams the dialogue reads and writes. Tests
// point it at string streams; the program leaves it on stdin and stdout.
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

#include "miscli/question.h"

namespace miscli {

// Answers the program's questions in place of a person at the console, by
// their names: it sees every console line the program writes that is no
// part of a question, each question as it is put, and gives the answer line
// (a console answer, or a session-script event line for the window) when
// the program waits for one.
class Answerer {
public:
    virtual ~Answerer() = default;
    virtual void console_line(std::string_view line) = 0;
    // The graphics window now asks q, showing `text` in its strip.
    virtual void window_question(const Question& q, std::string_view text) = 0;
    // The answer to console question q; false when there is none (the end
    // of input).
    virtual bool console_answer(const Question& q, std::string& line) = 0;
    // The next window event line, for what the window asks.
    virtual bool window_answer(std::string& line) = 0;
};

// The line with each control character shown as an escape ("\n", "\x01"),
// so that a name holding a newline cannot split a message in two. With
// ascii_only, bytes beyond ASCII are escaped too.
std::string one_line(std::string_view line, bool ascii_only = false);

class Console {
public:
    Console();
    // Writes one line. When standard output cannot be written (a full disk,
    // a closed pipe) the run stops with status 1 and the reason on standard
    // error, where every later line goes too.
    void write_line(std::string_view line);
    // Writes a line that belongs to a question (its prompt, a menu, the
    // heading of menus); an answerer, which answers by name, is not given it.
    void write_prompt(std::string_view line);
    // The answer line to question q, whose lines were just written; the end
    // of input stops the program (status 1).
    std::string read_line(const Question& q);
    // The next window event line, or false at the end of input (for the
    // session-script reader, which ends the run itself).
    bool read_event_line(std::string& line);
    std::istream& in() { return *in_; }
    std::ostream& out() { return *out_; }
    void redirect(std::istream& in, std::ostream& out) { in_ = &in; out_ = &out; }
    // With an answerer, answers come from it instead of the input stream,
    // and the lines written go to it; nullptr goes back to the streams.
    void set_answerer(Answerer* answerer) { answerer_ = answerer; }
    // Tells the answerer, if any, that the graphics window now asks q.
    void window_question(const Question& q, std::string_view text);

    // A progress line, on a terminal only: written over in place by each
    // call (from any thread), and wiped by end_progress or by the next line
    // the console writes. Whether the console is such a terminal:
    bool shows_progress() const;
    void show_progress(std::string_view text);
    void end_progress();

private:
    void wipe_progress();  // the mutex held
    bool read_stream(std::string& line);

    std::istream* in_;
    std::ostream* out_;
    Answerer* answerer_ = nullptr;
    bool lost_ = false;  // the output stream failed: lines go to standard error
    std::recursive_mutex progress_mutex_;
    bool progress_shown_ = false;
    bool progress_paused_ = false;  // a question waits for its answer
};

Console& console();

// Points the console at other streams for the lifetime of the guard.
class ConsoleRedirect {
public:
    ConsoleRedirect(std::istream& in, std::ostream& out);
    ~ConsoleRedirect();
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

private:
    std::istream* old_in_;
    std::ostream* old_out_;
};

}  // namespace miscli
