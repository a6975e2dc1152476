#include "cdl_to_netcdf.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace fuzz {

namespace {

constexpr std::size_t kMostLength = 4000;   // of one dimension
constexpr std::size_t kMostValues = 40000;  // of one variable's data
constexpr std::size_t kMostItems = 200;     // dimensions, variables, attributes

struct Token {
    enum Kind { end, name, number, text, punct } kind = end;
    std::string s;       // the name, the text, the punctuation, or the number's suffix
    double value = 0.0;  // of a number
};

class Lexer {
public:
    explicit Lexer(std::string_view t) : t_(t) {}
    Token next() {
        skip();
        Token k;
        if (i_ >= t_.size()) return k;
        const char c = t_[i_];
        if (c == '"') {
            k.kind = Token::text;
            for (++i_; i_ < t_.size() && t_[i_] != '"'; ++i_) {
                if (t_[i_] == '\\' && i_ + 1 < t_.size()) ++i_;
                k.s += t_[i_];
            }
            ++i_;
            return k;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            ((c == '-' || c == '+' || c == '.') && i_ + 1 < t_.size() &&
             (std::isdigit(static_cast<unsigned char>(t_[i_ + 1])) || t_[i_ + 1] == '.' || t_[i_ + 1] == 'N'))) {
            const std::size_t start = i_;
            ++i_;
            while (i_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.' ||
                                      ((t_[i_] == 'e' || t_[i_] == 'E') && i_ + 1 < t_.size() &&
                                       (std::isdigit(static_cast<unsigned char>(t_[i_ + 1])) || t_[i_ + 1] == '-' ||
                                        t_[i_ + 1] == '+')) ||
                                      ((t_[i_] == '-' || t_[i_] == '+') && (t_[i_ - 1] == 'e' || t_[i_ - 1] == 'E'))))
                ++i_;
            std::string digits(t_.substr(start, i_ - start));
            k.kind = Token::number;
            if (digits == "-" || digits == "+") {  // -NaN
                k.s = word();
                k.value = std::numeric_limits<double>::quiet_NaN();
                return k;
            }
            k.value = std::strtod(digits.c_str(), nullptr);
            k.s = word();
            return k;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            k.s = word();
            k.kind = Token::name;
            if (k.s == "NaN" || k.s == "NaNf" || k.s == "nan") {
                k.kind = Token::number;
                k.value = std::numeric_limits<double>::quiet_NaN();
                k.s = k.s == "NaNf" ? "f" : "";
            }
            return k;
        }
        k.kind = Token::punct;
        k.s = std::string(1, c);
        ++i_;
        return k;
    }

private:
    void skip() {
        for (;;) {
            while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_]))) ++i_;
            if (i_ + 1 < t_.size() && t_[i_] == '/' && t_[i_ + 1] == '/') {
                while (i_ < t_.size() && t_[i_] != '\n') ++i_;
                continue;
            }
            return;
        }
    }
    std::string word() {
        const std::size_t start = i_;
        while (i_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[i_])) || t_[i_] == '_')) ++i_;
        return std::string(t_.substr(start, i_ - start));
    }
    std::string_view t_;
    std::size_t i_ = 0;
};

struct Value {
    bool fill = false, is_text = false;
    double number = 0.0;
    std::string text, suffix;
};

struct Variable {
    std::string name;
    nc_type type = NC_DOUBLE;
    std::vector<int> dims;
    int id = -1;
};

struct Attribute {
    int var = -1;  // index of the variable; -1 for the file
    std::string name;
    std::vector<Value> values;
};

struct Cdl {
    std::vector<std::pair<std::string, std::size_t>> dims;  // length 0: unlimited
    std::vector<Variable> vars;
    std::vector<Attribute> atts;
    std::vector<std::pair<int, std::vector<Value>>> data;
};

std::optional<nc_type> type_named(const std::string& s) {
    if (s == "byte") return NC_BYTE;
    if (s == "char") return NC_CHAR;
    if (s == "short") return NC_SHORT;
    if (s == "int" || s == "long") return NC_INT;
    if (s == "float" || s == "real") return NC_FLOAT;
    if (s == "double") return NC_DOUBLE;
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::string_view t) : lex_(t) { advance(); }

    std::optional<Cdl> parse() {
        if (!take_name("netcdf") || tok_.kind != Token::name) return std::nullopt;
        advance();
        if (!take("{")) return std::nullopt;
        std::string section;
        while (!(tok_.kind == Token::punct && tok_.s == "}")) {
            if (tok_.kind == Token::end || items() > kMostItems) return std::nullopt;
            if (tok_.kind == Token::name && (tok_.s == "dimensions" || tok_.s == "variables" || tok_.s == "data")) {
                section = tok_.s;
                advance();
                if (!take(":")) return std::nullopt;
                continue;
            }
            const bool ok = section == "dimensions" ? dimension()
                            : section == "variables" ? declaration()
                            : section == "data"      ? data()
                                                     : false;
            if (!ok) return std::nullopt;
        }
        return cdl_;
    }

private:
    std::size_t items() const { return cdl_.dims.size() + cdl_.vars.size() + cdl_.atts.size() + cdl_.data.size(); }
    void advance() { tok_ = lex_.next(); }
    bool take(const char* p) {
        if (tok_.kind != Token::punct || tok_.s != p) return false;
        advance();
        return true;
    }
    bool take_name(const char* n) {
        if (tok_.kind != Token::name || tok_.s != n) return false;
        advance();
        return true;
    }
    std::optional<std::string> name() {
        if (tok_.kind != Token::name) return std::nullopt;
        std::string s = tok_.s;
        advance();
        return s;
    }
    int var_index(const std::string& n) const {
        for (std::size_t i = 0; i < cdl_.vars.size(); ++i)
            if (cdl_.vars[i].name == n) return static_cast<int>(i);
        return -1;
    }

    bool dimension() {
        do {
            auto n = name();
            if (!n || !take("=")) return false;
            std::size_t length = 0;
            if (take_name("UNLIMITED") || take_name("unlimited")) {
                length = 0;
            } else if (tok_.kind == Token::number && tok_.value >= 1 && tok_.value <= kMostLength) {
                length = static_cast<std::size_t>(tok_.value);
                advance();
            } else {
                return false;
            }
            cdl_.dims.emplace_back(*n, length);
        } while (take(","));
        return take(";");
    }

    bool declaration() {
        if (take(":")) return attribute(-1);
        auto first = name();
        if (!first) return false;
        if (take(":")) {
            const int v = var_index(*first);
            return v >= 0 && attribute(v);
        }
        auto type = type_named(*first);
        if (!type) return false;
        do {
            Variable v;
            v.type = *type;
            auto n = name();
            if (!n) return false;
            v.name = *n;
            if (take("(")) {
                do {
                    auto d = name();
                    if (!d) return false;
                    int found = -1;
                    for (std::size_t i = 0; i < cdl_.dims.size(); ++i)
                        if (cdl_.dims[i].first == *d) found = static_cast<int>(i);
                    if (found < 0) return false;
                    v.dims.push_back(found);
                } while (take(","));
                if (!take(")")) return false;
            }
            cdl_.vars.push_back(v);
        } while (take(","));
        return take(";");
    }

    bool attribute(int var) {
        auto n = name();
        if (!n || !take("=")) return false;
        Attribute a{var, *n, {}};
        if (!values(a.values)) return false;
        cdl_.atts.push_back(std::move(a));
        return true;
    }

    bool data() {
        auto n = name();
        if (!n || !take("=")) return false;
        const int v = var_index(*n);
        std::vector<Value> vals;
        if (v < 0 || !values(vals)) return false;
        cdl_.data.emplace_back(v, std::move(vals));
        return true;
    }

    bool values(std::vector<Value>& out) {
        do {
            Value v;
            if (tok_.kind == Token::number) {
                v.number = tok_.value;
                v.suffix = tok_.s;
            } else if (tok_.kind == Token::text) {
                v.is_text = true;
                v.text = tok_.s;
            } else if (tok_.kind == Token::name && tok_.s == "_") {
                v.fill = true;
            } else {
                return false;
            }
            advance();
            out.push_back(std::move(v));
            if (out.size() > kMostValues) return false;
        } while (take(","));
        return take(";");
    }

    Lexer lex_;
    Token tok_;
    Cdl cdl_;
};

nc_type attribute_type(const Attribute& a, const Cdl& c) {
    if (a.name == "_FillValue" && a.var >= 0) return c.vars[static_cast<std::size_t>(a.var)].type;
    const Value& v = a.values.front();
    if (v.suffix == "b" || v.suffix == "B") return NC_BYTE;
    if (v.suffix == "s" || v.suffix == "S") return NC_SHORT;
    if (v.suffix == "f" || v.suffix == "F") return NC_FLOAT;
    if (v.suffix == "d" || v.suffix == "D") return NC_DOUBLE;
    if (v.suffix == "l" || v.suffix == "L") return NC_INT;
    const bool whole = std::isfinite(v.number) && v.number == std::floor(v.number) && std::fabs(v.number) < 2e9;
    return whole ? NC_INT : NC_DOUBLE;
}

double default_fill(nc_type t) {
    switch (t) {
        case NC_BYTE: return NC_FILL_BYTE;
        case NC_SHORT: return NC_FILL_SHORT;
        case NC_INT: return NC_FILL_INT;
        case NC_FLOAT: return NC_FILL_FLOAT;
        default: return NC_FILL_DOUBLE;
    }
}

// The number of values of a shape, or more than kMostValues when larger.
std::size_t product(const std::vector<std::size_t>& shape) {
    std::size_t n = 1;
    for (std::size_t d : shape) {
        n *= d;
        if (n > kMostValues) return kMostValues + 1;
    }
    return n;
}

// Writes the parsed file; false when the library refuses any of it.
bool write(const Cdl& c, int ncid) {
    std::vector<int> dim_ids;
    bool unlimited_seen = false;
    for (const auto& [name, length] : c.dims) {
        if (length == 0 && unlimited_seen) return false;
        unlimited_seen = unlimited_seen || length == 0;
        int id = 0;
        if (nc_def_dim(ncid, name.c_str(), length == 0 ? NC_UNLIMITED : length, &id) != NC_NOERR) return false;
        dim_ids.push_back(id);
    }
    std::vector<Variable> vars = c.vars;
    for (Variable& v : vars) {
        std::vector<int> ids;
        for (int d : v.dims) ids.push_back(dim_ids[static_cast<std::size_t>(d)]);
        if (nc_def_var(ncid, v.name.c_str(), v.type, static_cast<int>(ids.size()), ids.data(), &v.id) != NC_NOERR)
            return false;
    }
    for (const Attribute& a : c.atts) {
        if (a.name == "_Format") continue;  // the file's kind, not an attribute
        const int var = a.var < 0 ? NC_GLOBAL : vars[static_cast<std::size_t>(a.var)].id;
        int status = NC_NOERR;
        if (a.values.front().is_text) {
            std::string text;
            for (const Value& v : a.values) text += v.text;
            status = nc_put_att_text(ncid, var, a.name.c_str(), text.size(), text.c_str());
        } else {
            std::vector<double> numbers;
            for (const Value& v : a.values) numbers.push_back(v.fill || v.is_text ? 0.0 : v.number);
            status = nc_put_att_double(ncid, var, a.name.c_str(), attribute_type(a, c), numbers.size(), numbers.data());
        }
        if (status != NC_NOERR && status != NC_ERANGE) return false;
    }
    if (nc_enddef(ncid) != NC_NOERR) return false;

    for (const auto& [index, values] : c.data) {
        const Variable& v = vars[static_cast<std::size_t>(index)];
        std::vector<std::size_t> start(v.dims.size(), 0), count;
        for (int d : v.dims) count.push_back(c.dims[static_cast<std::size_t>(d)].second);
        const std::size_t row = count.empty() ? 1 : product(std::vector<std::size_t>(count.begin() + 1, count.end()));
        if (row > kMostValues) return false;
        if (v.type == NC_CHAR) {
            std::string text;
            for (const Value& x : values) text += x.is_text ? x.text : std::string(1, '\0');
            if (!count.empty() && count[0] == 0) count[0] = row ? (text.size() + row - 1) / row : 0;
            const std::size_t total = product(count);
            if (total > kMostValues) return false;
            text.resize(total, '\0');
            if (total > 0 && nc_put_vara_text(ncid, v.id, start.data(), count.data(), text.data()) != NC_NOERR)
                return false;
            continue;
        }
        double fill = default_fill(v.type);
        for (const Attribute& a : c.atts)
            if (a.var == index && a.name == "_FillValue" && !a.values.front().is_text) fill = a.values.front().number;
        std::vector<double> numbers;
        for (const Value& x : values) numbers.push_back(x.fill || x.is_text ? fill : x.number);
        if (!count.empty() && count[0] == 0) count[0] = row ? (numbers.size() + row - 1) / row : 0;
        const std::size_t total = product(count);
        if (total > kMostValues) return false;
        numbers.resize(total, fill);
        if (total == 0) continue;
        const int status = nc_put_vara_double(ncid, v.id, start.data(), count.data(), numbers.data());
        if (status != NC_NOERR && status != NC_ERANGE) return false;
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::byte>> cdl_to_netcdf(std::string_view text) {
    const std::optional<Cdl> cdl = Parser(text).parse();
    if (!cdl) return std::nullopt;
    int ncid = -1;
    if (nc_create_mem("fuzz.nc", NC_CLOBBER, 4096, &ncid) != NC_NOERR) return std::nullopt;
    if (!write(*cdl, ncid)) {
        nc_abort(ncid);
        return std::nullopt;
    }
    NC_memio memio{};
    if (nc_close_memio(ncid, &memio) != NC_NOERR) return std::nullopt;
    std::vector<std::byte> bytes(memio.size);
    if (memio.size > 0) std::memcpy(bytes.data(), memio.memory, memio.size);
    std::free(memio.memory);
    return bytes;
}

}  // namespace fuzz
