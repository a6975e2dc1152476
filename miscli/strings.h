#pragma once
// Operations on blank-padded fixed-length text fields. A field's declared
// length is the size of its std::string.
#include <string>
#include <string_view>

#include "miscli/question.h"

namespace miscli {

void ljustn_(std::string& text, int& n);             // left-justify, give the length
void ucase_(std::string& text);                       // a..z to A..Z in place
void ucase_(char& c);
void charans_(char& answer, std::string_view question, const Question& q);  // one-letter console answer
void charadd_(std::string& first, std::string& second, int& n);  // join

}  // namespace miscli
