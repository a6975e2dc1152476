// The quick-looks' files beside the figures: the record of a mission's
// inputs, its page, and the index of every mission, each written whole or
// not at all.
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/quicklook_parts.h"
#include "daz/hardcopy_target.h"
#include "miscli/calendar.h"

namespace app::quicklook {

namespace {

namespace fs = std::filesystem;

// A hash of the file's bytes, eight at a time in four lanes so that it
// runs near the speed of memory (a rerun of an archive hashes every file
// of it), over the file mapped in place of read: with the size and time
// beside it, enough to tell a changed file from the same.
std::uint64_t content_hash(const std::string& path) {
    constexpr std::uint64_t kPrime = 0x100000001b3ull;
    std::uint64_t lane[4] = {0xcbf29ce484222325ull, 0x9e3779b97f4a7c15ull, 0xc2b2ae3d27d4eb4full, 0x165667b19e3779f9ull};
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || st.st_size <= 0) {
        if (fd >= 0) close(fd);
        return lane[0];
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return lane[1];
    madvise(map, size, MADV_SEQUENTIAL);
    const auto* bytes = static_cast<const unsigned char*>(map);
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t w;
            std::memcpy(&w, bytes + i + 8 * k, 8);
            lane[k] = (lane[k] ^ w) * kPrime;
        }
    std::uint64_t h = lane[0] ^ (lane[1] * 31) ^ (lane[2] * 961) ^ (lane[3] * 29791) ^ size;
    for (; i < size; ++i) h = (h ^ bytes[i]) * kPrime;
    munmap(map, size);
    return h;
}

// Text for HTML: the five characters that mean something there escaped.
std::string html(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

// A path part for a link: bytes beyond the safe ones as %XX.
std::string link(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

constexpr const char* kStyle =
    "<style>body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse}"
    "td,th{padding:.3em .8em;text-align:left;border-bottom:1px solid #ccc}"
    "figure{display:inline-block;margin:.5em}figcaption{font-size:90%}</style>\n";

}  // namespace

std::string utc_text(double days) { return miscli::iso_date(days) + " " + miscli::iso_hour_minute(days) + " UTC"; }

std::string input_record(const std::vector<std::string>& files) {
    std::ostringstream out;
    for (const std::string& f : files) {
        struct stat st {};
        if (stat(f.c_str(), &st) != 0) {
            out << "missing " << f << '\n';
            continue;
        }
        out << st.st_size << ' ' << st.st_mtim.tv_sec << '.' << st.st_mtim.tv_nsec << ' ' << std::hex
            << content_hash(f) << std::dec << ' ' << f << '\n';
    }
    return out.str();
}

bool write_whole(const std::string& path, const std::string& text, std::string& why) {
    daz::HardcopyTarget target;
    if (!target.open(path, "TXT", why)) return false;
    target.write(text.data(), text.size());
    return target.commit(why);
}

std::optional<std::string> read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string mission_page(const std::string& name, const Survey& s, const std::vector<Figure>& figures,
                         const std::string& drawn) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + html(name) +
                       "</title>\n" + kStyle + "</head><body>\n<p><a href=\"../index.html\">All missions</a></p>\n<h1>" +
                       html(name) + "</h1>\n<p>" + std::to_string(s.profiles) + " profiles";
    if (s.first_time && s.last_time)
        page += ", " + html(utc_text(*s.first_time)) + " to " + html(utc_text(*s.last_time));
    page += ". Drawn " + html(drawn) + "; " + std::to_string(s.left_out) +
            " samples left out where their QC says bad.</p>\n";
    for (const Figure& f : figures) {
        page += "<figure><a href=\"" + link(f.file) + "\"><img src=\"" + link(f.file) + "\" width=\"500\" alt=\"" +
                html(f.what) + "\"></a><figcaption>" + html(f.what) + "</figcaption></figure>\n";
    }
    return page + "</body></html>\n";
}

bool write_index(const std::string& folder, std::string& why) {
    // One rebuild at a time: another process's mission is never lost.
    const std::string lock_path = (fs::path(folder) / ".index.lock").string();
    const int lock = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        if (lock >= 0) close(lock);
        why = " Cannot lock " + lock_path;
        return false;
    }
    struct Row {
        std::string dir, name, last, drawn, thumbnail;
    };
    std::vector<Row> rows;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!e.is_directory(ec) || !fs::exists(e.path() / "index.html", ec)) continue;
        const auto text = read_text((e.path() / "mission.txt").string());
        if (!text) continue;
        // The record's lines: name, last data time, drawn time, the figures.
        std::istringstream lines(*text);
        Row r;
        r.dir = e.path().filename().string();
        std::getline(lines, r.name);
        std::getline(lines, r.last);
        std::getline(lines, r.drawn);
        for (std::string f; r.thumbnail.empty() && std::getline(lines, f);)
            if (fs::exists(e.path() / f, ec)) r.thumbnail = r.dir + "/" + f;
        rows.push_back(r);
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.name < b.name; });
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Glider quick-looks"
                       "</title>\n" + std::string(kStyle) +
                       "</head><body>\n<h1>Glider quick-looks</h1>\n<table>\n<tr><th>Mission</th><th>Last data</th>"
                       "<th>Drawn</th><th></th></tr>\n";
    for (const Row& r : rows) {
        const std::string to = link(r.dir) + "/index.html";
        page += "<tr><td><a href=\"" + to + "\">" + html(r.name) + "</a></td><td>" + html(r.last) + "</td><td>" +
                html(r.drawn) + "</td><td>";
        if (!r.thumbnail.empty())
            page += "<a href=\"" + to + "\"><img src=\"" + link(r.thumbnail) + "\" width=\"240\" alt=\"" +
                    html(r.name) + "\"></a>";
        page += "</td></tr>\n";
    }
    page += "</table>\n</body></html>\n";
    const bool ok = write_whole((fs::path(folder) / "index.html").string(), page, why);
    close(lock);
    return ok;
}

}  // namespace app::quicklook
