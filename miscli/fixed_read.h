#pragma once
// Reading of fixed-column and free-format (list-directed) records.
//
// Fixed columns: a line is consumed field by field from the left; columns
// past the end of the line read as blanks, and a blank numeric field reads
// as 0. Blanks inside a numeric field are ignored. A real field without a
// decimal point has its d decimals implied ("12345" in F9.3 is 12.345).
// Anything else that is not part of a number makes the read fail.
#include <optional>
#include <string>
#include <string_view>

namespace miscli {

class FixedReader {
public:
    explicit FixedReader(std::string_view line) : line_(line) {}
    int i(int w);                  // Iw
    float f(int w, int d);         // Fw.d
    std::string a(int n);          // An, blank-padded to n
    void x(int n) { take(n); }     // skip n columns
    bool ok() const { return ok_; }

private:
    std::string_view take(int n);
    std::string_view line_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// One numeric field on its own, as FixedReader reads it.
std::optional<long> parse_int_field(std::string_view field);
std::optional<float> parse_real_field(std::string_view field, int implied_decimals);

// A free-format token that is a whole integer.
std::optional<long> parse_int_token(std::string_view token);

// One list-directed token read as ListReader reads it; false when it is
// not a number of that kind.
bool read_real_token(std::string_view token, float& value);
bool read_int_token(std::string_view token, int& value);
// The first `max` list-directed tokens of one line (separated as
// ListReader separates them); gives how many there are.
int list_tokens(std::string_view line, std::string_view* out, int max);

// Items of one list-directed read: numbers separated by blanks, tabs or
// commas; when a line runs out the next line is fetched; what is left of
// the last line when the read is done is dropped.
class ListReader {
public:
    // next_line() gives the next record, or nullopt at the end of input.
    template <class NextLine>
    explicit ListReader(NextLine& next_line)
        : source_(&next_line), fetch_([](void* s) { return (*static_cast<NextLine*>(s))(); }) {}
    bool real(float& value);
    bool integer(int& value);

private:
    std::optional<std::string_view> token();
    void* source_;
    std::optional<std::string_view> (*fetch_)(void*);
    std::string_view rest_;
};

// Splits one line into list-directed tokens; gives false when a token is
// not a number. Unlike ListReader it never reads a further line.
bool read_reals(std::string_view line, float* out, int count, int& found);

}  // namespace miscli
