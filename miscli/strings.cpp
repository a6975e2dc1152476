#include "miscli/strings.h"

#include "miscli/console.h"

namespace miscli {

void ljustn_(std::string& text, int& n) {
    n = 0;
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return;
    if (first > 0) {
        text.erase(0, first);
        text.append(first, ' ');
    }
    auto last = text.find_last_not_of(' ');
    if (last == std::string::npos) {
        // Cannot happen once a non-blank was found; kept as the original check.
        console().write_line(" LJUSTN: Something wrong in loop 30 ");
        return;
    }
    n = static_cast<int>(last) + 1;
}

void ucase_(char& c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

void ucase_(std::string& text) {
    for (char& c : text) ucase_(c);
}

void charans_(char& answer, std::string_view question, const Question& asked) {
    std::string q(question);
    int n = 0;
    ljustn_(q, n);
    std::string line(1, ' ');
    line.append(q, 0, static_cast<std::size_t>(n));
    line += ' ';
    console().write_prompt(line);
    std::string reply = console().read_line(asked);
    answer = reply.empty() ? ' ' : reply[0];
    ucase_(answer);
}

void charadd_(std::string& first, std::string& second, int& n) {
    int l1 = 0, l2 = 0;
    ljustn_(first, l1);
    ljustn_(second, l2);
    int cap = static_cast<int>(first.size());
    if (l1 + l2 > cap) l2 = cap - l1;
    n = l1 + l2;
    for (int i = 0; i < l2; ++i) first[static_cast<std::size_t>(l1 + i)] = second[static_cast<std::size_t>(i)];
    for (int i = n; i < cap; ++i) first[static_cast<std::size_t>(i)] = ' ';
}

}  // namespace miscli
