#pragma once
// Fortran-style fixed output fields: every formatted console line, label and
// hardcopy line is made of these, so overflow looks the same everywhere.
#include <string>
#include <string_view>

namespace miscli {

// Integer right-aligned in w columns (Iw); w asterisks when it does not fit.
std::string fmt_i(long value, int w);

// Iw for a number that may outgrow its field (dive and station counts):
// where it does not fit, the field widens to the number, keeping `blanks`
// blanks ahead of it to part it from the text before. Never asterisks.
std::string fmt_i_wide(long value, int w, int blanks = 0);

// Iw written straight into a buffer (at least w characters of room); gives
// the end. For the hardcopy writer's hot loops, which must not allocate.
char* put_i(char* out, long value, int w);

// Integer with at least m digits, leading zeros (Iw.m), e.g. fmt_i0(3, 2) = "03".
std::string fmt_i0(long value, int w, int m);

// Real right-aligned in w columns with d decimals (Fw.d); the leading zero
// of a value below one is dropped when only that makes it fit; w asterisks
// when it still does not. Width 0 writes the number as wide as it needs.
std::string fmt_f(double value, int w, int d);

// Fw.d that widens like fmt_i_wide instead of overflowing; a value that is
// not finite still prints as w asterisks.
std::string fmt_f_wide(double value, int w, int d, int blanks = 1);

// Free-format (list-directed) output: one blank, then the items; a number
// gets one blank ahead of it unless the text before already ends in one.
class ListLine {
public:
    ListLine() : text_(" ") {}
    ListLine& operator<<(std::string_view s) { text_ += s; return *this; }
    ListLine& operator<<(const char* s) { text_ += s; return *this; }
    ListLine& operator<<(long v);
    ListLine& operator<<(int v) { return *this << static_cast<long>(v); }
    ListLine& operator<<(double v);
    ListLine& operator<<(float v) { return *this << static_cast<double>(v); }
    const std::string& str() const { return text_; }

private:
    void separate();
    std::string text_;
};

}  // namespace miscli
