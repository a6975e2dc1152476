#include "data/load_sec.h"

#include <cmath>

#include "miscli/console.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"
#include "miscli/two_threads.h"
#include "seawater/seawater.h"

namespace data {

namespace {

struct Source {
    bool adcp = false;
    int value = 0;  // column of prof or adcp; 0 for sigma-theta
    int flag = 0;   // column of the flags
};

bool source_of(char code, Source& s) {
    switch (code) {
        case 'T': s = {false, 2, 2}; return true;
        case 'S': s = {false, 3, 3}; return true;
        case '4': s = {false, 4, 4}; return true;
        case 'D': s = {false, 0, 0}; return true;
        case 'U': s = {true, 2, 1}; return true;
        case 'V': s = {true, 3, 1}; return true;
        case 'B': s = {true, 4, 2}; return true;
        case 'W': s = {true, 4, 2}; return true;
        default: return false;
    }
}

}  // namespace

void load_sec_(miscli::RaggedArray2<float>& sec_val, miscli::RaggedArray2<float>& sec_z, int first, int last,
               miscli::Array1<int>& sec_n, char code, std::string& label, int& log_flag, int& is_adcp,
               const DiveTable& t, std::string_view var4_name) {
    label.assign(20, ' ');
    label[0] = code;
    if (code == '4') label.replace(0, 8, miscli::field(var4_name, 8));
    if (code == 'D') label = miscli::field("\\sigma\\\\sub{\\theta\\}", 20);
    log_flag = 0;
    is_adcp = 0;

    Source src;
    bool known = source_of(code, src);
    if (src.adcp) is_adcp = 1;
    if (code == 'B') label = miscli::field("ABS", 20);

    if (code == '4') {
        int n = 0;
        miscli::ljustn_(label, n);
        std::string question = " Contour Log10 (vs linear) of ";
        question.append(label, 0, static_cast<std::size_t>(n));
        question += "? Y/N? ";
        miscli::console().write_line(question);
        std::string answer = miscli::console().read_line();
        if (!answer.empty() && (answer[0] == 'y' || answer[0] == 'Y')) log_flag = 1;
    }

    sec_val.fill(SAMPLE_FILL);
    // Dives are loaded apart, on two threads for a large section.
    auto load = [&](int lo, int hi) {
        for (int d = lo; d <= hi; ++d) {
            if (!known) {
                sec_n(d) = 0;
                continue;
            }
            if (src.adcp) {
                int n = t.n_adcp(d);
                sec_n(d) = n;
                for (int j = 1; j <= n; ++j) {
                    sec_z(j, d) = t.adcp(j, d, 1);
                    if (t.adcp_flag(j, d, src.flag) == 0) sec_val(j, d) = t.adcp(j, d, src.value);
                }
                continue;
            }
            int n = t.n_samp(d);
            sec_n(d) = n;
            for (int k = 1; k <= n; ++k) {
                sec_z(k, d) = t.prof(k, d, 1);
                if (src.value == 0) {
                    if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) == 0)
                        sec_val(k, d) = seawater::sigma_(t.prof(k, d, 3), t.prof(k, d, 2), t.prof(k, d, 1), 0.0f);
                } else if (t.prof_flag(k, d, src.flag) == 0) {
                    sec_val(k, d) = t.prof(k, d, src.value);
                }
            }
        }
    };
    const auto weight = [&](int d) { return src.adcp ? t.n_adcp(d) : t.n_samp(d); };
    miscli::split_over_two_threads(first, last, weight, load);

    // A value at or below zero has no logarithm: it is missing, not 0.
    if (log_flag == 1) {
        for (int d = first; d <= last; ++d)
            for (int k = 1; k <= sec_n(d); ++k) {
                float& v = sec_val(k, d);
                v = v > 0.0f ? std::log10(v) : SAMPLE_FILL;
            }
    }
}

}  // namespace data
