// make_manual: writes the manual page from its template, with the version
// and the table of variables from the variable registry, so the page lists
// exactly the variables the program offers.
//
//   make_manual TEMPLATE OUTFILE VERSION
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "data/variables.h"

namespace {

// Text for roff: a hyphen in a word is the minus sign's glyph.
std::string roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '-') out += '\\';
        out += c;
    }
    return out;
}

std::string_view source_words(data::Source s) {
    switch (s) {
    case data::Source::Samples: return "a column of the samples";
    case data::Source::Profiler: return "a column of the current profiler's bins";
    case data::Source::Function: return "worked out from the samples";
    case data::Source::Grid: return "worked out between the levels of the gridded section";
    }
    return {};
}

// Which files offer the variable; empty for every file.
std::string offered_words(unsigned kinds) {
    using data::Profiler, data::kind_bit;
    if (kinds == data::kEveryFile) return {};
    if (kinds == data::kAnyProfiler) return "files with a current profiler";
    if (kinds == kind_bit(Profiler::Backscatter)) return "files whose current profiler records backscatter";
    if (kinds == kind_bit(Profiler::Velocity)) return "files whose current profiler records vertical velocity";
    return "some files";
}

// One tagged paragraph a variable.
std::string variable_table() {
    std::string text;
    for (const data::Variable& v : data::kVariables) {
        text += ".TP\n.B ";
        text += v.letter;
        text += '\n';
        text += roff(v.name);
        if (!v.unit.empty()) text.append(" (").append(roff(v.unit)).append(")");
        if (v.named_by_file) text += ", shown under the file's name for it";
        text.append(", ").append(source_words(v.source));
        if (const std::string files = offered_words(v.offered_by); !files.empty()) text.append("; in ").append(files);
        if (v.log_question) text += "; asked whether to contour its log10";
        if (v.teos10) text += "; offered with \\-\\-eos teos10 or \\-\\-style modern";
        text += ".\n";
    }
    return text;
}

bool replace(std::string& page, std::string_view marker, const std::string& with) {
    const std::size_t at = page.find(marker);
    if (at == std::string::npos) return false;
    page.replace(at, marker.size(), with);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "Usage: make_manual TEMPLATE OUTFILE VERSION\n";
        return 1;
    }
    std::ifstream in(argv[1]);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << "make_manual: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::string page = text.str();
    if (!replace(page, "@PROJECT_VERSION@", argv[3]) || !replace(page, "@VARIABLES@\n", variable_table())) {
        std::cerr << "make_manual: " << argv[1] << " lacks @PROJECT_VERSION@ or @VARIABLES@\n";
        return 1;
    }
    std::ofstream out(argv[2]);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "make_manual: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
