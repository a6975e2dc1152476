#include "data/read_dive_data.h"

#include <glob.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "data/rd_sci2.h"
#include "data/read_glider_netcdf.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"

namespace data {

namespace fs = std::filesystem;

bool starts_netcdf(std::span<const char> b) {
    static constexpr std::array<char, 8> hdf5 = {'\x89', 'H', 'D', 'F', '\r', '\n', '\x1a', '\n'};
    if (b.size() >= 4 && b[0] == 'C' && b[1] == 'D' && b[2] == 'F' && (b[3] == 1 || b[3] == 2 || b[3] == 5))
        return true;
    return b.size() >= hdf5.size() && std::equal(hdf5.begin(), hdf5.end(), b.begin());
}

bool is_netcdf_file(const std::string& path) {
    // A pipe or a device cannot be read twice, and the netCDF library needs
    // a file it can seek in: such a stream is left whole to the dive file
    // reader.
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::array<char, 8> head{};
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.read(head.data(), head.size());
    return starts_netcdf(std::span<const char>(head.data(), static_cast<std::size_t>(in.gcount())));
}

namespace {

bool ends_in_nc(const std::string& name) {
    if (name.size() < 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'n' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 'c';
}

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

std::vector<std::string> files_named(const std::string& name, bool& set) {
    std::error_code ec;
    std::vector<std::string> files;
    set = false;
    if (fs::is_directory(name, ec)) {
        set = true;
        std::vector<std::pair<std::string, std::string>> named;  // file name, path
        for (const auto& entry : fs::directory_iterator(name, ec)) {
            const std::string file = entry.path().filename().string();
            if (ends_in_nc(file) && is_file(entry.path())) named.emplace_back(file, entry.path().string());
        }
        std::sort(named.begin(), named.end());
        for (auto& n : named) files.push_back(std::move(n.second));
        return files;
    }
    if (name.find_first_of("*?") != std::string::npos && !fs::exists(name, ec)) {
        set = true;
        glob_t found{};
        if (glob(name.c_str(), 0, nullptr, &found) == 0)
            for (std::size_t i = 0; i < found.gl_pathc; ++i)
                if (is_file(found.gl_pathv[i])) files.emplace_back(found.gl_pathv[i]);
        globfree(&found);
        std::sort(files.begin(), files.end());
        return files;
    }
    files.push_back(name);
    return files;
}

std::string answer_naming(std::span<const std::string> names) {
    std::string answer;
    for (const std::string& n : names) {
        if (!answer.empty()) answer.push_back('\0');
        answer += n;
    }
    return answer;
}

std::vector<std::string> names_in_answer(std::string_view answer) {
    std::vector<std::string> names;
    for (;;) {
        const std::size_t end = answer.find('\0');
        names.emplace_back(answer.substr(0, end));
        if (end == std::string_view::npos) return names;
        answer.remove_prefix(end + 1);
    }
}

void read_dive_data(std::string_view typed, FileHeader& header, DiveTable& t) {
    if (typed.find('\0') != std::string_view::npos) {
        // Names given together: a mission in netCDF files, in the order given.
        std::vector<NcSource> sources;
        for (std::string& f : names_in_answer(typed)) {
            std::error_code ec;
            if (!is_netcdf_file(f))
                miscli::stop(" " + f + (fs::exists(f, ec) ? ": not a netCDF file; files named together must all be netCDF"
                                                           : ": no such file"));
            sources.push_back({std::move(f), false, {}});
        }
        read_glider_netcdf(sources, header, t);
        return;
    }
    const std::string name(miscli::trim_right(typed));
    bool set = false;
    const std::vector<std::string> files = name.empty() ? std::vector<std::string>{} : files_named(name, set);
    const bool folder = set && fs::is_directory(name);
    if (set && files.empty()) miscli::stop(" " + name + (folder ? ": the folder holds no .nc file" : ": no file matches"));
    // One file named or matched is read by what it holds (a name that is no
    // file goes to the dive file reader, which says so); a folder, or a set
    // of several files, must be netCDF throughout.
    if (files.empty() || (files.size() == 1 && !folder && !is_netcdf_file(files[0]))) {
        rd_sci2_(set ? std::string_view(files[0]) : typed, header, t);
        return;
    }
    std::vector<NcSource> sources;
    for (const std::string& f : files) {
        if (!is_netcdf_file(f)) miscli::stop(" " + f + ": not a netCDF file");
        sources.push_back({f, false, {}});
    }
    read_glider_netcdf(sources, header, t);
}

}  // namespace data
