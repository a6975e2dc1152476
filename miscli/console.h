#pragma once
// The console: the one pair of streams the dialogue reads and writes. Tests
// point it at string streams; the program leaves it on stdin and stdout.
#include <iosfwd>
#include <string>
#include <string_view>

namespace miscli {

class Console {
public:
    Console();
    void write_line(std::string_view line);
    // One answer line; the end of input stops the program (status 1).
    std::string read_line();
    // The next line, or false at the end of input (for callers that end
    // the run themselves, such as the session-script reader).
    bool try_read_line(std::string& line);
    std::istream& in() { return *in_; }
    std::ostream& out() { return *out_; }
    void redirect(std::istream& in, std::ostream& out) { in_ = &in; out_ = &out; }
    void restore();

private:
    std::istream* in_;
    std::ostream* out_;
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
