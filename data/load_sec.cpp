#include "data/load_sec.h"

#include <algorithm>
#include <cmath>

#include "data/variables.h"
#include "miscli/console.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"
#include "miscli/two_threads.h"

namespace data {

void load_sec_(miscli::RaggedArray2<float>& sec_val, miscli::RaggedArray2<float>& sec_z, int first, int last,
               miscli::Array1<int>& sec_n, char code, std::string& label, int& log_flag, int& is_adcp,
               const DiveTable& t, std::string_view var4_name) {
    // The label: the registry's, or the file's name for its fourth variable;
    // a letter the registry does not know keeps only itself and loads nothing.
    const Variable* var = find_variable(code);
    label.assign(20, ' ');
    label[0] = code;
    if (var) label = miscli::field(var->named_by_file ? miscli::field(var4_name, 8) : std::string(var->label), 20);
    log_flag = 0;
    is_adcp = var && var->source == Source::Profiler ? 1 : 0;

    if (var && var->log_question) {
        int n = 0;
        miscli::ljustn_(label, n);
        std::string question = " Contour Log10 (vs linear) of ";
        if (var->named_by_file) question.append(label, 0, static_cast<std::size_t>(n));
        else question += var->menu;
        question += "? Y/N? ";
        miscli::console().write_prompt(question);
        std::string answer = miscli::console().read_line(miscli::QuestionId::Log);
        if (!answer.empty() && (answer[0] == 'y' || answer[0] == 'Y')) log_flag = 1;
    }

    load_values(sec_val, sec_z, first, last, sec_n, var, t);

    // A value at or below zero has no logarithm: it is missing, not 0.
    if (log_flag == 1) {
        for (int d = first; d <= last; ++d)
            for (int k = 1; k <= sec_n(d); ++k) {
                float& v = sec_val(k, d);
                v = v > 0.0f ? std::log10(v) : SAMPLE_FILL;
            }
    }
}

void load_values(miscli::RaggedArray2<float>& sec_val, miscli::RaggedArray2<float>& sec_z, int first, int last,
                 miscli::Array1<int>& sec_n, const Variable* var, const DiveTable& t) {
    sec_val.fill(SAMPLE_FILL);
    // Dives are loaded apart, on two threads for a large section.
    const bool adcp = var && var->source == Source::Profiler;
    auto load = [&](int lo, int hi) {
        for (int d = lo; d <= hi; ++d) {
            if (!var) {
                sec_n(d) = 0;
                continue;
            }
            if (adcp) {
                int n = t.n_adcp(d);
                sec_n(d) = n;
                for (int j = 1; j <= n; ++j) {
                    sec_z(j, d) = t.adcp(j, d, 1);
                    if (t.adcp_flag(j, d, var->flag) == 0) sec_val(j, d) = t.adcp(j, d, var->column);
                }
                continue;
            }
            const int n = t.n_samp(d);
            const auto length = static_cast<std::size_t>(n);
            sec_n(d) = n;
            std::copy_n(t.prof.column(d, 1).begin(), length, sec_z.column(d).begin());
            const std::span<float> out = sec_val.column(d).first(length);
            switch (var->source) {
            case Source::Samples: {
                const auto values = t.prof.column(d, var->column);
                const auto flags = t.prof_flag.column(d, var->flag);
                for (std::size_t k = 0; k < length; ++k) out[k] = flags[k] == 0 ? values[k] : SAMPLE_FILL;
                break;
            }
            case Source::Function:
                if (var->derive_profile) {
                    var->derive_profile(t, d, out);
                    break;
                }
                for (int k = 1; k <= n; ++k)
                    if (float v = 0.0f; var->derive(t, k, d, v)) out[static_cast<std::size_t>(k - 1)] = v;
                break;
            default:  // a Grid variable is worked out once gridded
                break;
            }
        }
    };
    const auto weight = [&](int d) { return adcp ? t.n_adcp(d) : t.n_samp(d); };
    miscli::split_over_two_threads(first, last, weight, load);
}

}  // namespace data
