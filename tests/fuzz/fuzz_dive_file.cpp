// Any bytes as a dive file: the reader must end with its table filled or a
// program stop with one line, never a crash, a hang or a read out of bounds.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "data/rd_sci2.h"
#include "miscli/console.h"
#include "miscli/stop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto table = std::make_unique<data::DiveTable>();
    static const std::string path = "/tmp/glidersect-fuzz-" + std::to_string(::getpid()) + ".SCI";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    std::istringstream in;
    std::ostringstream out;
    miscli::ConsoleRedirect quiet(in, out);
    data::FileHeader header;
    try {
        data::rd_sci2_(path, header, *table);
        // What the driver then relies on.
        if (header.n_dives > data::MXPR || table->size() < std::max(header.n_dives, header.n_read)) __builtin_trap();
        for (int d = 1; d <= header.n_read; ++d)
            if (table->n_samp(d) < 0 || table->n_samp(d) > table->prof.length(d) || table->n_adcp(d) < 0 ||
                table->n_adcp(d) > table->adcp.length(d))
                __builtin_trap();
    } catch (const miscli::ProgramStop& stop) {
        if (stop.line.empty() || stop.status != 1) __builtin_trap();
    }
    return 0;
}
