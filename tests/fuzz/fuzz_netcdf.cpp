// CDL text, mutated from the CDL test files, made into a netCDF file in
// memory and read by the glider netCDF reader from there: it must fill a
// consistent dive table or stop with one line, never crash or hang. The
// file is built by the library's writer, so the fuzzing reaches the
// reader's own decisions (names, attributes, types, values, shapes) rather
// than the library's parser.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <sstream>
#include <string_view>

#include "cdl_to_netcdf.h"
#include "data/read_glider_netcdf.h"
#include "miscli/console.h"
#include "miscli/stop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::cdl_to_netcdf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!file) return 0;
    // Enter for the fourth variable.
    std::istringstream in("\n");
    std::ostringstream out;
    miscli::ConsoleRedirect quiet(in, out);
    const data::NcSource source{"fuzz.nc", true, std::span<const std::byte>(*file)};
    data::FileHeader header;
    auto table = std::make_unique<data::DiveTable>();
    try {
        data::read_glider_netcdf_here(std::span(&source, 1), header, *table);
        // What the driver then relies on.
        if (header.n_dives < 1 || header.n_dives != table->size() || header.n_vars < 3 || header.n_vars > 4)
            __builtin_trap();
        for (int d = 1; d <= header.n_dives; ++d) {
            if (table->n_samp(d) < 1 || table->n_samp(d) != table->prof.length(d) || table->n_samp(d) > data::MXZ)
                __builtin_trap();
            for (int k = 1; k <= table->n_samp(d); ++k)
                for (int v = 1; v <= 4; ++v) {
                    const float x = table->prof(k, d, v);
                    if (!(x > -1e38f && x < 1e38f)) __builtin_trap();
                }
        }
    } catch (const miscli::ProgramStop& stop) {
        if (stop.line.empty() || stop.status != 1) __builtin_trap();
    }
    return 0;
}
