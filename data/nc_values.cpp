#include "data/nc_values.h"

#include <netcdf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

namespace data {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::optional<double> first_of(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    return values.front();
}

// The limits of the valid values and whether they are in stored (packed)
// units: CF gives them in the variable's own type when they are.
struct ValidRange {
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    bool stored_units = true;
};

ValidRange valid_range_of(const NcFile& f, const NcVariable& v) {
    ValidRange r;
    int type = 0;
    if (auto range = f.number_attribute(v.id, "valid_range"); range.size() >= 2) {
        r.lo = range[0];
        r.hi = range[1];
        type = f.attribute_type(v.id, "valid_range");
    } else {
        if (auto lo = first_of(f.number_attribute(v.id, "valid_min"))) {
            r.lo = *lo;
            type = f.attribute_type(v.id, "valid_min");
        }
        if (auto hi = first_of(f.number_attribute(v.id, "valid_max"))) {
            r.hi = *hi;
            type = f.attribute_type(v.id, "valid_max");
        }
    }
    r.stored_units = type == 0 || type == v.type;
    return r;
}

}  // namespace

ValueRule value_rule(const NcFile& f, const NcVariable& v) {
    ValueRule r;
    r.fill = first_of(f.number_attribute(v.id, "_FillValue"));
    if (!r.fill && !f.has_attribute(v.id, "_FillValue")) {
        if (v.type == NC_FLOAT) r.fill = static_cast<double>(NC_FILL_FLOAT);
        if (v.type == NC_DOUBLE) r.fill = NC_FILL_DOUBLE;
    }
    r.missing = f.number_attribute(v.id, "missing_value");
    const ValidRange valid = valid_range_of(f, v);
    r.lo = valid.lo;
    r.hi = valid.hi;
    r.stored_units = valid.stored_units;
    r.scale = first_of(f.number_attribute(v.id, "scale_factor")).value_or(1.0);
    r.offset = first_of(f.number_attribute(v.id, "add_offset")).value_or(0.0);
    r.packed = r.scale != 1.0 || r.offset != 0.0;
    return r;
}

void apply(const ValueRule& r, std::span<double> values) {
    if (r.missing.empty() && r.stored_units && !r.packed) {
        // The usual case, in a loop the compiler can vectorise: a fill that
        // is NaN or absent equals no value. The bounds are copied first, as
        // the values written might otherwise be the rule's own.
        const double fill = r.fill.value_or(kNaN), lo = r.lo, hi = r.hi;
        for (double& x : values) x = std::isfinite(x) && x != fill && !(x < lo) && !(x > hi) ? x : kNaN;
        return;
    }
    for (double& x : values) {
        bool gone = !std::isfinite(x) || (r.fill && x == *r.fill);
        for (double m : r.missing) gone = gone || x == m;
        if (!gone && r.stored_units) gone = x < r.lo || x > r.hi;
        if (!gone && r.packed) x = x * r.scale + r.offset;
        if (!gone && !r.stored_units) gone = x < r.lo || x > r.hi;
        if (gone || !std::isfinite(x)) x = kNaN;
    }
}

void read_values(const NcFile& f, const NcVariable& v, NcDoubles& values) {
    f.read_doubles(v, values);
    data::apply(value_rule(f, v), values);
}

namespace {

// A small cursor over the units text.
class Cursor {
public:
    explicit Cursor(std::string_view s) : s_(s) {}
    void blanks() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    bool at_end() const { return i_ == s_.size(); }
    char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    bool take(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    // A run of 1..max digits.
    std::optional<long long> number(std::size_t max = 9) {
        std::size_t start = i_;
        long long v = 0;
        while (i_ < s_.size() && i_ - start < max && std::isdigit(static_cast<unsigned char>(s_[i_])))
            v = v * 10 + (s_[i_++] - '0');
        if (i_ == start) return std::nullopt;
        return v;
    }
    std::string_view word() {
        std::size_t start = i_;
        while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) ++i_;
        return s_.substr(start, i_ - start);
    }
    std::string_view rest() const { return s_.substr(i_); }

private:
    std::string_view s_;
    std::size_t i_ = 0;
};

std::optional<double> seconds_per(std::string_view unit) {
    std::string u(unit);
    for (char& c : u) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (u == "second" || u == "seconds") return 1.0;
    // Finer units than the four usual ones, as some writers choose them.
    if (u == "millisecond" || u == "milliseconds") return 1e-3;
    if (u == "microsecond" || u == "microseconds") return 1e-6;
    if (u == "nanosecond" || u == "nanoseconds") return 1e-9;
    if (u == "minute" || u == "minutes") return 60.0;
    if (u == "hour" || u == "hours") return 3600.0;
    if (u == "day" || u == "days") return 86400.0;
    return std::nullopt;
}

// The zone's offset east of UTC in seconds, or nullopt when unreadable.
std::optional<double> zone_offset(Cursor& c) {
    c.blanks();
    if (c.at_end()) return 0.0;
    if (c.take('Z') || c.take('z')) return 0.0;
    if (std::isalpha(static_cast<unsigned char>(c.peek()))) {
        std::string w(c.word());
        for (char& ch : w) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return w == "UTC" || w == "GMT" ? std::optional<double>(0.0) : std::nullopt;
    }
    double sign = 1.0;
    if (c.take('-')) sign = -1.0;
    else c.take('+');
    auto hours = c.number(2);
    if (!hours || *hours > 14) return std::nullopt;
    long long minutes = 0;
    if (c.take(':')) {
        auto m = c.number(2);
        if (!m) return std::nullopt;
        minutes = *m;
    } else if (auto m = c.number(2)) {
        minutes = *m;
    }
    if (minutes > 59) return std::nullopt;
    return sign * (static_cast<double>(*hours) * 3600.0 + static_cast<double>(minutes) * 60.0);
}

}  // namespace

std::optional<TimeUnits> parse_time_units(std::string_view units) {
    Cursor c(units);
    c.blanks();
    auto per = seconds_per(c.word());
    c.blanks();
    std::string since(c.word());
    for (char& ch : since) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (!per || since != "since") return std::nullopt;
    c.blanks();

    const bool negative_year = c.take('-');
    auto year = c.number(6);
    if (!year || !c.take('-')) return std::nullopt;
    auto month = c.number(2);
    if (!month || !c.take('-')) return std::nullopt;
    auto day = c.number(2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;

    double seconds_of_day = 0.0;
    if (c.take('T') || c.take('t') || c.peek() == ' ') {
        c.blanks();
        if (std::isdigit(static_cast<unsigned char>(c.peek()))) {
            auto h = c.number(2);
            if (!h || !c.take(':')) return std::nullopt;
            auto m = c.number(2);
            if (!m || *h > 24 || *m > 59) return std::nullopt;
            double s = 0.0;
            if (c.take(':')) {
                auto whole = c.number(2);
                if (!whole || *whole > 60) return std::nullopt;
                s = static_cast<double>(*whole);
                if (c.take('.')) {
                    double scale = 0.1;
                    while (std::isdigit(static_cast<unsigned char>(c.peek()))) {
                        s += scale * (c.peek() - '0');
                        scale *= 0.1;
                        c.take(c.peek());
                    }
                }
            }
            seconds_of_day = static_cast<double>(*h) * 3600.0 + static_cast<double>(*m) * 60.0 + s;
        }
    }
    auto offset = zone_offset(c);
    c.blanks();
    if (!offset || !c.at_end()) return std::nullopt;

    const long long y = negative_year ? -*year : *year;
    const double days = static_cast<double>(days_from_civil(y, static_cast<int>(*month), static_cast<int>(*day)));
    return TimeUnits{*per, days * 86400.0 + seconds_of_day - *offset};
}

}  // namespace data
