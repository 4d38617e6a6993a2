// A recursive-descent parser for the MATLAB expressions that describe
// arguments. Grammar, loosest binding first:
//   range   := sum [':' sum [':' sum]]
//   sum     := product (('+' | '-') product)*
//   product := unary (('*' | '/') unary)*
//   unary   := ('-' | '+') unary | power
//   power   := postfix ['^' unary]
//   postfix := primary ["'"]
//   primary := number | hex | 'text' | [rows] | {cells} | name | name(args) | (range)
// Arithmetic is done in double (complex) precision, as MATLAB does for
// double operands; class functions then convert.
#include "parse.h"

#include "value.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace fpmex::runner {
namespace {

using Complex = std::complex<double>;

[[noreturn]] void reject(const std::string& expression, std::size_t at, const std::string& why)
{
    throw std::invalid_argument("cannot parse argument '" + expression + "' at position " + std::to_string(at + 1) +
                                ": " + why);
}

std::vector<Complex> complexElements(const Value& v)
{
    std::vector<Complex> values(v.count());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = elementAt(v, i);
    return values;
}

bool isDoubleLike(const Value& v)
{
    return v.classId == mxDOUBLE_CLASS || v.classId == mxLOGICAL_CLASS || v.classId == mxCHAR_CLASS;
}

Value scalar(Complex z)
{
    return doubleValue({z}, {1, 1});
}

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    Value parseAll()
    {
        Value v = range();
        skipSpace();
        if (pos_ != text_.size())
            reject(text_, pos_, "unexpected '" + text_.substr(pos_) + "'");
        return v;
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
    int bracketDepth_ = 0;
    int nesting_ = 0;

    // Arguments are descriptions of test inputs, not data sets: a cap keeps
    // a typo such as zeros(1e6) from exhausting memory.
    static constexpr std::size_t maxElements = std::size_t(1) << 24;
    static constexpr int maxNesting = 200;

    void checkCount(const std::vector<mwSize>& dims, std::size_t at)
    {
        std::size_t count = 1;
        for (mwSize d : dims) {
            if (d != 0 && count > maxElements / d)
                reject(text_, at, "more than 2^24 elements");
            count *= d;
        }
    }

    void skipSpace()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }

    bool peek(char c)
    {
        skipSpace();
        return pos_ < text_.size() && text_[pos_] == c;
    }

    bool accept(char c)
    {
        if (!peek(c))
            return false;
        ++pos_;
        return true;
    }

    void expect(char c)
    {
        if (!accept(c))
            reject(text_, pos_, std::string("expected '") + c + "'");
    }

    // Inside brackets, "1 -2" is two elements while "1 - 2" and "1-2" are
    // one: a sign after a space and before a non-space starts a new element.
    bool signStartsElement() const
    {
        if (bracketDepth_ == 0 || pos_ == 0 || pos_ + 1 >= text_.size())
            return false;
        const bool spaceBefore = text_[pos_ - 1] == ' ' || text_[pos_ - 1] == '\t';
        const bool spaceAfter = text_[pos_ + 1] == ' ' || text_[pos_ + 1] == '\t';
        return spaceBefore && !spaceAfter;
    }

    Value binary(const Value& a, const Value& b, char op, std::size_t at)
    {
        if (!isDoubleLike(a) || !isDoubleLike(b))
            reject(text_, at, std::string("operator '") + op + "' needs double operands; convert afterwards");
        const auto x = complexElements(a), y = complexElements(b);
        if (x.size() != 1 && y.size() != 1 && a.dims != b.dims)
            reject(text_, at, "operands of different sizes");
        const auto& dims = x.size() == 1 ? b.dims : a.dims;
        const std::size_t n = std::max(x.size(), y.size());
        std::vector<Complex> out(x.size() == 1 || y.size() == 1 ? (x.size() == 1 ? y.size() : x.size()) : n);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const Complex p = x[x.size() == 1 ? 0 : i], q = y[y.size() == 1 ? 0 : i];
            switch (op) {
            case '+': out[i] = p + q; break;
            case '-': out[i] = p - q; break;
            case '*': out[i] = p * q; break;
            case '/': out[i] = p / q; break;
            default:
                out[i] = (p.imag() == 0 && q.imag() == 0) ? Complex(std::pow(p.real(), q.real())) : std::pow(p, q);
            }
        }
        return doubleValue(out, dims);
    }

    Value range()
    {
        Value first = sum();
        if (bracketDepth_ >= 0 && peek(':')) {
            const std::size_t at = pos_;
            ++pos_;
            Value second = sum();
            Value step = scalar(1.0), last = second;
            if (accept(':')) {
                step = second;
                last = sum();
            }
            const double a = elementAt(first, 0).real(), s = elementAt(step, 0).real(),
                         b = elementAt(last, 0).real();
            if (s == 0 || std::isnan(a) || std::isnan(s) || std::isnan(b))
                reject(text_, at, "invalid range");
            const double span = std::floor((b - a) / s);
            if (span >= static_cast<double>(maxElements))
                reject(text_, at, "more than 2^24 elements");
            std::vector<Complex> values;
            for (double k = 0; k <= span; ++k)
                values.emplace_back(a + k * s);
            return doubleValue(values, {1, values.size()});
        }
        return first;
    }

    Value sum()
    {
        Value v = product();
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size() || (text_[pos_] != '+' && text_[pos_] != '-') || signStartsElement())
                return v;
            const char op = text_[pos_];
            const std::size_t at = pos_++;
            v = binary(v, product(), op, at);
        }
    }

    Value product()
    {
        Value v = unary();
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size() || (text_[pos_] != '*' && text_[pos_] != '/'))
                return v;
            const char op = text_[pos_];
            const std::size_t at = pos_++;
            v = binary(v, unary(), op, at);
        }
    }

    Value unary()
    {
        skipSpace();
        const std::size_t at = pos_;
        if (accept('-')) {
            Value v = unary();
            if (!isDoubleLike(v))
                reject(text_, at, "unary minus needs a double operand; convert afterwards");
            auto values = complexElements(v);
            for (auto& z : values)
                z = Complex(-z.real(), v.complex ? -z.imag() : 0.0);
            return doubleValue(values, v.dims, v.complex);
        }
        if (accept('+'))
            return unary();
        Value base = postfix();
        if (peek('^')) {
            const std::size_t opAt = pos_++;
            return binary(base, unary(), '^', opAt);
        }
        return base;
    }

    Value postfix()
    {
        Value v = primary();
        while (pos_ < text_.size() && text_[pos_] == '\'') {
            const std::size_t at = pos_++;
            try {
                v = transpose(v);
            } catch (const std::invalid_argument& error) {
                reject(text_, at, error.what());
            }
        }
        return v;
    }

    static Value transpose(const Value& v)
    {
        if (v.dims.size() > 2 || v.re.size() != v.count() * elementSize(v.classId))
            throw std::invalid_argument("only 2-D numeric, char and logical arrays can be transposed");
        Value t = v;
        t.dims = {v.dims[1], v.dims[0]};
        const std::size_t size = elementSize(v.classId), m = v.dims[0], n = v.dims[1];
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = 0; j < n; ++j) {
                std::memcpy(&t.re[(i * n + j) * size], &v.re[(j * m + i) * size], size);
                if (v.complex)
                    std::memcpy(&t.im[(i * n + j) * size], &v.im[(j * m + i) * size], size);
            }
        return t;
    }

    Value primary()
    {
        if (++nesting_ > maxNesting)
            reject(text_, pos_, "nested too deeply");
        Value v = primaryUnlimited();
        --nesting_;
        return v;
    }

    Value primaryUnlimited()
    {
        skipSpace();
        if (pos_ >= text_.size())
            reject(text_, pos_, "expression ends too early");
        const char c = text_[pos_];
        if (c == '(') {
            ++pos_;
            const int depth = bracketDepth_;
            bracketDepth_ = 0;
            Value v = range();
            bracketDepth_ = depth;
            expect(')');
            return v;
        }
        if (c == '[')
            return matrix();
        if (c == '{')
            return cellArray();
        if (c == '\'')
            return charRow();
        if (c == '0' && pos_ + 1 < text_.size() && (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X'))
            return hexLiteral();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.')
            return number();
        if (std::isalpha(static_cast<unsigned char>(c)))
            return call();
        reject(text_, pos_, std::string("unexpected '") + c + "'");
    }

    Value number()
    {
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        const double x = std::strtod(start, &end);
        if (end == start)
            reject(text_, pos_, "not a number");
        pos_ += static_cast<std::size_t>(end - start);
        if (pos_ < text_.size() && (text_[pos_] == 'i' || text_[pos_] == 'j') &&
            (pos_ + 1 >= text_.size() || !std::isalnum(static_cast<unsigned char>(text_[pos_ + 1])))) {
            ++pos_;
            return doubleValue({Complex(0, x)}, {1, 1}, true);
        }
        return scalar(x);
    }

    // 0x7FC00001 is the smallest unsigned class that holds the digits, as in
    // MATLAB; a suffix u8..u64 or s8..s64 names the class.
    Value hexLiteral()
    {
        const std::size_t at = pos_;
        pos_ += 2;
        std::uint64_t bits = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
            if (digits == 16)
                reject(text_, at, "more than 64 bits");
            bits = bits << 4 | std::stoul(std::string(1, text_[pos_]), nullptr, 16);
            ++digits;
            ++pos_;
        }
        if (digits == 0)
            reject(text_, at, "hex literal without digits");
        mxClassID id = digits <= 2 ? mxUINT8_CLASS : digits <= 4 ? mxUINT16_CLASS : digits <= 8 ? mxUINT32_CLASS
                                                                                                  : mxUINT64_CLASS;
        if (pos_ < text_.size() && (text_[pos_] == 'u' || text_[pos_] == 's')) {
            const bool isSigned = text_[pos_] == 's';
            std::size_t end = pos_ + 1;
            while (end < text_.size() && std::isdigit(static_cast<unsigned char>(text_[end])))
                ++end;
            const std::string width = text_.substr(pos_ + 1, end - pos_ - 1);
            static const mxClassID unsignedIds[] = {mxUINT8_CLASS, mxUINT16_CLASS, mxUINT32_CLASS, mxUINT64_CLASS};
            static const mxClassID signedIds[] = {mxINT8_CLASS, mxINT16_CLASS, mxINT32_CLASS, mxINT64_CLASS};
            const char* widths[] = {"8", "16", "32", "64"};
            bool found = false;
            for (int k = 0; k < 4; ++k)
                if (width == widths[k]) {
                    id = isSigned ? signedIds[k] : unsignedIds[k];
                    found = true;
                }
            if (!found)
                reject(text_, pos_, "hex suffix must be u8, u16, u32, u64, s8, s16, s32 or s64");
            pos_ = end;
        }
        const std::size_t size = elementSize(id);
        if (size < 8 && (bits >> (size * 8)) != 0)
            reject(text_, at, "hex literal does not fit its class");
        Value v;
        v.classId = id;
        v.dims = {1, 1};
        v.re.assign(size, 0);
        std::memcpy(v.re.data(), &bits, size);
        return v;
    }

    Value charRow()
    {
        const std::size_t at = pos_++;
        std::vector<unsigned char> units;
        for (;;) {
            if (pos_ >= text_.size())
                reject(text_, at, "unterminated character vector");
            if (text_[pos_] == '\'') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                    pos_ += 2;
                    units.push_back('\'');
                    continue;
                }
                ++pos_;
                break;
            }
            units.push_back(static_cast<unsigned char>(text_[pos_++]));
        }
        Value v;
        v.classId = mxCHAR_CLASS;
        v.dims = {units.empty() ? 0u : 1u, units.size()};
        v.re.assign(units.size() * 2, 0);
        for (std::size_t i = 0; i < units.size(); ++i)
            v.re[2 * i] = units[i];
        return v;
    }

    std::vector<std::vector<Value>> rows(char close)
    {
        std::vector<std::vector<Value>> result(1);
        ++bracketDepth_;
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size())
                reject(text_, pos_, std::string("missing '") + close + "'");
            if (text_[pos_] == close) {
                ++pos_;
                break;
            }
            if (text_[pos_] == ';') {
                ++pos_;
                result.emplace_back();
                continue;
            }
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            result.back().push_back(range());
        }
        --bracketDepth_;
        if (result.back().empty())
            result.pop_back();
        return result;
    }

    // Horizontal then vertical concatenation. Mixed classes follow MATLAB's
    // rule for the common cases: any other class wins over double.
    Value matrix()
    {
        const std::size_t at = pos_++;
        const auto table = rows(']');
        mxClassID id = mxDOUBLE_CLASS;
        for (const auto& row : table)
            for (const Value& v : row) {
                if (!isNumericClass(v.classId) && v.classId != mxCHAR_CLASS && v.classId != mxLOGICAL_CLASS)
                    reject(text_, at, "only numeric, char and logical values can be concatenated");
                if (v.count() != 0 && v.classId != mxDOUBLE_CLASS)
                    id = v.classId;
            }
        std::vector<Value> joinedRows;
        for (const auto& row : table) {
            std::vector<Value> parts;
            for (const Value& v : row)
                if (v.count() != 0)
                    parts.push_back(convert(v, id));
            if (parts.empty())
                continue;
            Value joined = parts[0];
            for (std::size_t k = 1; k < parts.size(); ++k) {
                if (parts[k].dims.size() != 2 || parts[k].dims[0] != joined.dims[0])
                    reject(text_, at, "dimensions of arrays being concatenated are not consistent");
                joined = concatenate(joined, parts[k], true);
            }
            joinedRows.push_back(joined);
        }
        if (joinedRows.empty()) {
            Value empty;
            empty.classId = id;
            return empty;
        }
        Value result = joinedRows[0];
        for (std::size_t k = 1; k < joinedRows.size(); ++k) {
            if (joinedRows[k].dims[1] != result.dims[1])
                reject(text_, at, "dimensions of arrays being concatenated are not consistent");
            result = concatenate(result, joinedRows[k], false);
        }
        return result;
    }

    static Value concatenate(const Value& a, const Value& b, bool horizontal)
    {
        Value out;
        out.classId = a.classId;
        out.complex = a.complex || b.complex;
        const std::size_t size = elementSize(a.classId);
        const auto imagOf = [&](const Value& v) {
            return v.complex ? v.im : std::vector<unsigned char>(v.re.size(), 0);
        };
        if (horizontal) {
            out.dims = {a.dims[0], a.dims[1] + b.dims[1]};
            out.re = a.re;
            out.re.insert(out.re.end(), b.re.begin(), b.re.end());
            if (out.complex) {
                out.im = imagOf(a);
                const auto tail = imagOf(b);
                out.im.insert(out.im.end(), tail.begin(), tail.end());
            }
            return out;
        }
        const std::size_t ma = a.dims[0], mb = b.dims[0], n = a.dims[1];
        out.dims = {ma + mb, n};
        out.re.resize((ma + mb) * n * size);
        if (out.complex)
            out.im.resize(out.re.size());
        const auto ia = imagOf(a), ib = imagOf(b);
        for (std::size_t j = 0; j < n; ++j) {
            std::memcpy(&out.re[j * (ma + mb) * size], &a.re[j * ma * size], ma * size);
            std::memcpy(&out.re[(j * (ma + mb) + ma) * size], &b.re[j * mb * size], mb * size);
            if (out.complex) {
                std::memcpy(&out.im[j * (ma + mb) * size], &ia[j * ma * size], ma * size);
                std::memcpy(&out.im[(j * (ma + mb) + ma) * size], &ib[j * mb * size], mb * size);
            }
        }
        return out;
    }

    Value cellArray()
    {
        ++pos_;
        const auto table = rows('}');
        Value cell;
        cell.classId = mxCELL_CLASS;
        if (table.empty())
            return cell;
        const std::size_t m = table.size(), n = table[0].size();
        for (const auto& row : table)
            if (row.size() != n)
                reject(text_, pos_, "rows of a cell array differ in length");
        cell.dims = {m, n};
        for (std::size_t j = 0; j < n; ++j)
            for (std::size_t i = 0; i < m; ++i)
                cell.cells.push_back(table[i][j]);
        return cell;
    }

    std::vector<Value> arguments()
    {
        std::vector<Value> args;
        if (!accept('('))
            return args;
        const int depth = bracketDepth_;
        bracketDepth_ = 0;
        if (!accept(')')) {
            for (;;) {
                args.push_back(range());
                if (accept(')'))
                    break;
                expect(',');
            }
        }
        bracketDepth_ = depth;
        return args;
    }

    std::vector<mwSize> sizesFrom(const std::vector<Value>& args, std::size_t at)
    {
        std::vector<mwSize> dims;
        for (const Value& v : args)
            for (std::size_t i = 0; i < v.count(); ++i) {
                const double d = elementAt(v, i).real();
                if (!(d >= 0) || d != std::floor(d) || d > 1e12)
                    reject(text_, at, "sizes must be non-negative integers");
                dims.push_back(static_cast<mwSize>(d));
            }
        if (dims.size() == 1)
            dims.push_back(dims[0]);
        if (dims.empty())
            dims = {1, 1};
        return dims;
    }

    Value filled(const std::vector<mwSize>& dims, double x)
    {
        checkCount(dims, pos_);
        Value v;
        v.dims = dims;
        std::vector<Complex> values(v.count(), x);
        return doubleValue(values, dims);
    }

    Value call()
    {
        const std::size_t at = pos_;
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        const std::string name = text_.substr(at, pos_ - at);
        if (name == "Inf" || name == "inf")
            return scalar(INFINITY);
        if (name == "NaN" || name == "nan")
            return scalar(NAN);
        if (name == "pi")
            return scalar(3.141592653589793);
        if (name == "i" || name == "j")
            return doubleValue({Complex(0, 1)}, {1, 1}, true);
        if (name == "true" || name == "false") {
            Value v = convert(scalar(name == "true" ? 1 : 0), mxLOGICAL_CLASS);
            return v;
        }
        if (name == "eps")
            return scalar(0x1p-52);
        const std::vector<Value> args = arguments();
        const auto needArgs = [&](std::size_t low, std::size_t high) {
            if (args.size() < low || args.size() > high)
                reject(text_, at, name + " takes " + std::to_string(low) +
                                      (high != low ? " to " + std::to_string(high) : std::string()) + " argument(s)");
        };
        const mxClassID target = classFromName(name);
        if (target != mxUNKNOWN_CLASS) {
            needArgs(1, 1);
            return convert(args[0], target);
        }
        if (name == "complex") {
            needArgs(1, 2);
            const Value& re = args[0];
            if (re.complex || (args.size() == 2 && args[1].complex))
                reject(text_, at, "complex takes real parts");
            Value imag = args.size() == 2 ? args[1] : convert(filled(re.dims, 0), re.classId);
            if (imag.classId != re.classId) {
                if (re.classId == mxDOUBLE_CLASS)
                    return complexOf(convert(re, imag.classId), imag, at);
                imag = convert(imag, re.classId);
            }
            return complexOf(re, imag, at);
        }
        if (name == "zeros" || name == "ones")
            return filled(sizesFrom(args, at), name == "zeros" ? 0 : 1);
        if (name == "cell") {
            Value c;
            c.classId = mxCELL_CLASS;
            c.dims = sizesFrom(args, at);
            checkCount(c.dims, at);
            c.cells.assign(c.count(), filled({0, 0}, 0));
            return c;
        }
        if (name == "struct") {
            needArgs(0, 0);
            Value s;
            s.classId = mxSTRUCT_CLASS;
            s.dims = {1, 1};
            return s;
        }
        if (name == "reshape") {
            if (args.size() < 2)
                reject(text_, at, "reshape takes an array and sizes");
            Value v = args[0];
            const auto dims = sizesFrom(std::vector<Value>(args.begin() + 1, args.end()), at);
            checkCount(dims, at);
            Value probe;
            probe.dims = dims;
            if (probe.count() != v.count())
                reject(text_, at, "reshape must keep the number of elements");
            v.dims = dims;
            return v;
        }
        if (name == "sparse") {
            needArgs(1, 1);
            if (args[0].dims.size() != 2)
                reject(text_, at, "sparse arrays are two-dimensional");
            Value v = convert(args[0], args[0].classId == mxLOGICAL_CLASS ? mxLOGICAL_CLASS : mxDOUBLE_CLASS);
            v.sparse = true;
            return v;
        }
        if (name == "typecast") {
            needArgs(2, 2);
            const Value& v = args[0];
            if (args[1].classId != mxCHAR_CLASS)
                reject(text_, at, "typecast takes a class name");
            std::string cls;
            for (std::size_t k = 0; k < args[1].count(); ++k)
                cls += static_cast<char>(args[1].re[2 * k]);
            const mxClassID id = classFromName(cls);
            if (!isNumericClass(v.classId) || v.complex || !isNumericClass(id))
                reject(text_, at, "typecast takes a real numeric array and a numeric class");
            if (v.re.size() % elementSize(id) != 0)
                reject(text_, at, "typecast: the bytes do not make whole elements");
            Value out;
            out.classId = id;
            out.re = v.re;
            const std::size_t n = v.re.size() / elementSize(id);
            out.dims = v.dims.size() == 2 && v.dims[1] == 1 && v.dims[0] != 1 ? std::vector<mwSize>{n, 1}
                                                                                : std::vector<mwSize>{1, n};
            return out;
        }
        reject(text_, at, "unknown name '" + name + "'");
    }

    Value complexOf(const Value& re, const Value& im, std::size_t at)
    {
        if (re.count() != im.count() && im.count() != 1)
            reject(text_, at, "complex parts differ in size");
        Value out = re;
        out.complex = true;
        if (im.count() == re.count()) {
            out.im = im.re;
        } else {
            out.im.clear();
            for (std::size_t k = 0; k < re.count(); ++k)
                out.im.insert(out.im.end(), im.re.begin(), im.re.end());
        }
        return out;
    }
};

} // namespace

host::Array parseArgument(const std::string& expression)
{
    Parser parser(expression);
    return toArray(parser.parseAll());
}

} // namespace fpmex::runner
