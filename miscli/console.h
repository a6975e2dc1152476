#pragma once
// The console: the one pair of streams the dialogue reads and writes. Tests
// point it at string streams; the program leaves it on stdin and stdout.
#include <iosfwd>
#include <string>
#include <string_view>

namespace miscli {

// Answers the program's questions in place of a person at the console: it
// sees every console line the program writes and every prompt shown in the
// graphics window, and gives the next answer line (console answers and
// session-script event lines alike) when the program waits for one.
class Answerer {
public:
    virtual ~Answerer() = default;
    virtual void console_line(std::string_view line) = 0;
    virtual void window_prompt(std::string_view text) = 0;
    // False when there is no answer (the end of input).
    virtual bool next_line(std::string& line) = 0;
};

// The line with each control character shown as an escape ("\n", "\x01"),
// so that a name holding a newline cannot split a message in two.
std::string one_line(std::string_view line);

class Console {
public:
    Console();
    // Writes one line. When standard output cannot be written (a full disk,
    // a closed pipe) the run stops with status 1 and the reason on standard
    // error, where every later line goes too.
    void write_line(std::string_view line);
    // One answer line; the end of input stops the program (status 1).
    std::string read_line();
    // The next line, or false at the end of input (for callers that end
    // the run themselves, such as the session-script reader).
    bool try_read_line(std::string& line);
    std::istream& in() { return *in_; }
    std::ostream& out() { return *out_; }
    void redirect(std::istream& in, std::ostream& out) { in_ = &in; out_ = &out; }
    // With an answerer, answers come from it instead of the input stream,
    // and the lines written go to it; nullptr goes back to the streams.
    void set_answerer(Answerer* answerer) { answerer_ = answerer; }
    // Tells the answerer, if any, what the graphics window now asks.
    void window_prompt(std::string_view text);

private:
    std::istream* in_;
    std::ostream* out_;
    Answerer* answerer_ = nullptr;
    bool lost_ = false;  // the output stream failed: lines go to standard error
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
