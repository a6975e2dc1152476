#include "data/fourth_variable.h"

#include <algorithm>
#include <cctype>

#include "miscli/console.h"

namespace data {

namespace {

constexpr std::size_t kLineLength = 200;

bool same_ignoring_case(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::size_t ask_fourth_variable(const std::vector<std::string>& names) {
    std::string question = " Fourth variable (Enter for " + names.front() + "):";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && question.size() + 1 + names[i].size() > kLineLength) break;
        question += " " + names[i];
    }
    for (;;) {
        miscli::console().write_prompt(question);
        const std::string answer = trimmed(miscli::console().read_line(miscli::QuestionId::Var4));
        if (answer.empty()) return 0;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (same_ignoring_case(answer, names[i])) return i;
        miscli::console().write_line(" " + answer + " is not in the list: give one of its names, or Enter for " +
                                     names.front() + ".");
    }
}

}  // namespace data
