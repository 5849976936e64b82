#include "base/format.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

char decimalSeparator = ',';

// One parsed placeholder.
struct TPlaceholder {
    bool leftAlign = false;
    int width = 0;
    int precision = -1;  // -1: none given
    char conversion = 0;  // lower case
};

std::string UnsignedDigits(uint64_t value, unsigned base) {
    if (value == 0) return "0";
    std::string digits;
    while (value != 0) {
        digits.insert(digits.begin(), "0123456789ABCDEF"[value % base]);
        value /= base;
    }
    return digits;
}

// The bit pattern printed for %u and %x: negative values in the 32-bit range print as their
// 32-bit pattern, as the string table's 32-bit integers expect; others as 64 bits.
uint64_t UnsignedPattern(int64_t value) {
    if (value < 0 && value >= std::numeric_limits<int32_t>::min())
        return static_cast<uint32_t>(static_cast<int32_t>(value));
    return static_cast<uint64_t>(value);
}

std::string PadZeros(std::string digits, int precision) {
    if (precision > 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    return digits;
}

std::string WithSeparator(std::string text) {
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Fixed notation with Decimals digits after the separator.
std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return NonFinite(value);
    // Precision is capped so that the text stays bounded for any input.
    if (decimals > 18) decimals = 18;
    const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (size <= 0) return std::string();
    std::string text(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.resize(static_cast<size_t>(size));
    return WithSeparator(text);
}

// Significant digits (trailing zeros removed, at least one) and decimal exponent of Value.
void DecimalDigits(double value, int precision, std::string& digits, int& exponent, bool& negative) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
    negative = std::signbit(value) && value != 0;
    std::string text(buffer);
    const size_t e = text.find('e');
    exponent = std::stoi(text.substr(e + 1));
    digits.clear();
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.') digits += text[i];
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

// Scientific notation with Precision significant digits, "d.dddE+ddd" with at least three
// exponent digits.
std::string ScientificText(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*E", precision - 1, value);
    std::string text(buffer);
    const size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    const char sign = text[e + 1];
    std::string expDigits = text.substr(e + 2);
    while (expDigits.size() < 3) expDigits.insert(0, "0");
    return WithSeparator(mantissa) + "E" + sign + expDigits;
}

// The shortest of fixed and scientific notation with up to Precision significant digits.
std::string GeneralText(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (precision < 1 || precision > 18) precision = 15;
    if (value == 0) return "0";
    std::string digits;
    int exponent;
    bool negative;
    DecimalDigits(value, precision, digits, exponent, negative);
    std::string text = negative ? "-" : "";
    if (exponent >= precision || exponent < -4) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) text += decimalSeparator + digits.substr(1);
        return text + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        text += "0";
        text += decimalSeparator;
        text += std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        return text;
    }
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) return text + digits + std::string(whole - digits.size(), '0');
    return text + digits.substr(0, whole) + decimalSeparator + digits.substr(whole);
}

// Reads a decimal number at Pos (no sign); false when there is none or it is absurdly long.
bool ReadNumber(const std::string& fmt, size_t& pos, int& value) {
    if (pos >= fmt.size() || fmt[pos] < '0' || fmt[pos] > '9') return false;
    value = 0;
    while (pos < fmt.size() && fmt[pos] >= '0' && fmt[pos] <= '9') {
        value = value * 10 + (fmt[pos++] - '0');
        if (value > 100000) return false;
    }
    return true;
}

class TFormatter {
public:
    TFormatter(const std::string& fmt, const std::vector<TFormatArg>& args) : fmt_(fmt), args_(args) {}

    bool Run(std::string& out) {
        while (pos_ < fmt_.size()) {
            const char c = fmt_[pos_++];
            if (c != '%') {
                out += c;
            } else if (pos_ < fmt_.size() && fmt_[pos_] == '%') {
                out += '%';
                ++pos_;
            } else if (!Placeholder(out)) {
                return false;
            }
        }
        return true;
    }

private:
    bool NextArg(const TFormatArg*& arg) {
        if (argIndex_ >= args_.size()) return false;
        arg = &args_[argIndex_++];
        return true;
    }

    // A width or precision: digits or "*" taking the next integer argument.
    bool SizeField(int& value) {
        if (pos_ < fmt_.size() && fmt_[pos_] == '*') {
            ++pos_;
            const TFormatArg* arg;
            if (!NextArg(arg) || !std::holds_alternative<int64_t>(*arg)) return false;
            const int64_t v = std::get<int64_t>(*arg);
            if (v < -100000 || v > 100000) return false;
            value = static_cast<int>(v);
            return true;
        }
        if (pos_ < fmt_.size() && fmt_[pos_] >= '0' && fmt_[pos_] <= '9') return ReadNumber(fmt_, pos_, value);
        return true;
    }

    bool ParsePlaceholder(TPlaceholder& placeholder) {
        // An explicit argument index "n:" comes first.
        size_t save = pos_;
        int index;
        if (ReadNumber(fmt_, pos_, index) && pos_ < fmt_.size() && fmt_[pos_] == ':') {
            argIndex_ = static_cast<size_t>(index);
            ++pos_;
        } else {
            pos_ = save;
        }
        if (pos_ < fmt_.size() && fmt_[pos_] == '-') {
            placeholder.leftAlign = true;
            ++pos_;
        }
        if (!SizeField(placeholder.width)) return false;
        if (placeholder.width < 0) {
            placeholder.leftAlign = true;
            placeholder.width = -placeholder.width;
        }
        if (pos_ < fmt_.size() && fmt_[pos_] == '.') {
            ++pos_;
            placeholder.precision = 0;
            if (!SizeField(placeholder.precision)) return false;
        }
        if (pos_ >= fmt_.size()) return false;
        char conv = fmt_[pos_++];
        if (conv >= 'A' && conv <= 'Z') conv = static_cast<char>(conv - 'A' + 'a');
        placeholder.conversion = conv;
        return true;
    }

    bool Convert(const TPlaceholder& placeholder, const TFormatArg& arg, std::string& text) {
        const bool isInt = std::holds_alternative<int64_t>(arg);
        const bool isFloat = std::holds_alternative<double>(arg);
        switch (placeholder.conversion) {
            case 'd': {
                if (!isInt) return false;
                const int64_t v = std::get<int64_t>(arg);
                const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
                text = (v < 0 ? "-" : "") + PadZeros(UnsignedDigits(magnitude, 10), placeholder.precision);
                return true;
            }
            case 'u':
                if (!isInt) return false;
                text = PadZeros(UnsignedDigits(UnsignedPattern(std::get<int64_t>(arg)), 10), placeholder.precision);
                return true;
            case 'x':
                if (!isInt) return false;
                text = PadZeros(UnsignedDigits(UnsignedPattern(std::get<int64_t>(arg)), 16), placeholder.precision);
                return true;
            case 'c':
                if (isInt) {
                    text = std::string(1, static_cast<char>(std::get<int64_t>(arg)));
                    return true;
                }
                if (isFloat || std::get<std::string>(arg).size() != 1) return false;
                text = std::get<std::string>(arg);
                return true;
            case 's':
                if (isFloat) return false;
                text = isInt ? IntToStr(std::get<int64_t>(arg)) : std::get<std::string>(arg);
                if (placeholder.precision >= 0 && text.size() > static_cast<size_t>(placeholder.precision))
                    text.resize(static_cast<size_t>(placeholder.precision));
                return true;
            case 'f':
                if (!isFloat) return false;
                text = FixedText(std::get<double>(arg), placeholder.precision < 0 ? 2 : placeholder.precision);
                return true;
            case 'e':
                if (!isFloat) return false;
                text = ScientificText(std::get<double>(arg), placeholder.precision < 0 ? 15 : placeholder.precision);
                return true;
            case 'g':
                if (!isFloat) return false;
                text = GeneralText(std::get<double>(arg), placeholder.precision < 0 ? 15 : placeholder.precision);
                return true;
            default:
                return false;
        }
    }

    bool Placeholder(std::string& out) {
        TPlaceholder placeholder;
        if (!ParsePlaceholder(placeholder)) return false;
        const TFormatArg* arg;
        if (!NextArg(arg)) return false;
        std::string text;
        if (!Convert(placeholder, *arg, text)) return false;
        if (static_cast<int>(text.size()) < placeholder.width) {
            const std::string pad(static_cast<size_t>(placeholder.width) - text.size(), ' ');
            text = placeholder.leftAlign ? text + pad : pad + text;
        }
        out += text;
        return true;
    }

    const std::string& fmt_;
    const std::vector<TFormatArg>& args_;
    size_t pos_ = 0;
    size_t argIndex_ = 0;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Parses the digits of Text from Pos in Base into Value; false on no digits, a stray
// character or a value above Limit.
bool ParseDigits(const std::string& text, size_t pos, unsigned base, uint64_t limit, uint64_t& value) {
    if (pos >= text.size()) return false;
    value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        if (value > (limit - digit) / base) return false;
        value = value * base + digit;
    }
    return true;
}

// Splits an integer text into sign, base and magnitude; Limit bounds the hexadecimal
// magnitude, decimal magnitudes are bounded by the caller.
bool ParseInteger(const std::string& text, bool& negative, bool& hex, uint64_t& magnitude) {
    const std::string t = Trim(text);
    size_t pos = 0;
    negative = false;
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+')) negative = t[pos++] == '-';
    hex = false;
    if (pos < t.size() && t[pos] == '$') {
        hex = true;
        ++pos;
    } else if (pos + 1 < t.size() && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X')) {
        hex = true;
        pos += 2;
    }
    return ParseDigits(t, pos, hex ? 16 : 10, std::numeric_limits<uint64_t>::max(), magnitude);
}

unsigned char FoldUpper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // œ
        case 0x9E: return 0x8E;  // ž
        case 0xFF: return 0x9F;  // ÿ
        default: return c;
    }
}

unsigned char FoldLower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return c;
    }
}

}  // namespace

bool TryFormat(const std::string& fmt, const std::vector<TFormatArg>& args, std::string& result) {
    std::string out;
    if (!TFormatter(fmt, args).Run(out)) return false;
    result = std::move(out);
    return true;
}

std::string Format(const std::string& fmt, const std::vector<TFormatArg>& args) {
    std::string result;
    if (!TryFormat(fmt, args, result)) throw EConvertError(sid::InvalidFormat, {fmt});
    return result;
}

char DecimalSeparator() { return decimalSeparator; }
void SetDecimalSeparator(char separator) { decimalSeparator = separator; }

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(const std::string& text, int64_t& value) {
    bool negative, hex;
    uint64_t magnitude;
    if (!ParseInteger(text, negative, hex, magnitude)) return false;
    const uint64_t maxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (magnitude > maxPositive + (negative ? 1 : 0)) return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

int64_t StrToInt(const std::string& text) {
    int64_t value;
    if (!TryStrToInt(text, value)) throw EConvertError(sid::InvalidInteger, {text});
    return value;
}

int64_t StrToIntDef(const std::string& text, int64_t def) {
    int64_t value;
    return TryStrToInt(text, value) ? value : def;
}

bool TryStrToInt32(const std::string& text, int32_t& value) {
    bool negative, hex;
    uint64_t magnitude;
    if (!ParseInteger(text, negative, hex, magnitude)) return false;
    if (hex && magnitude <= 0xFFFFFFFFu) {
        const auto pattern = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        value = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(pattern)) : pattern;
        return true;
    }
    if (magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    return true;
}

int32_t StrToInt32(const std::string& text) {
    int32_t value;
    if (!TryStrToInt32(text, value)) throw EConvertError(sid::InvalidInteger, {text});
    return value;
}

std::string FloatToStr(double value) { return GeneralText(value, 15); }

bool TryStrToFloat(const std::string& text, double& value) {
    const std::string t = Trim(text);
    // Checked by hand so that only plain decimal texts pass (strtod would also take "inf",
    // "nan" and hexadecimal forms); the separator is turned into '.' for strtod.
    std::string plain;
    size_t pos = 0;
    if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) plain += t[pos++];
    int digits = 0;
    bool separator = false;
    for (; pos < t.size(); ++pos) {
        const char c = t[pos];
        if (c >= '0' && c <= '9') {
            ++digits;
            plain += c;
        } else if ((c == '.' || c == ',' || c == decimalSeparator) && !separator) {
            separator = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E')) {
        plain += t[pos++];
        if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) plain += t[pos++];
        if (pos >= t.size()) return false;
        for (; pos < t.size() && t[pos] >= '0' && t[pos] <= '9'; ++pos) plain += t[pos];
    }
    if (pos != t.size()) return false;
    const double v = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

double StrToFloat(const std::string& text) {
    double value;
    if (!TryStrToFloat(text, value)) throw EConvertError(sid::InvalidFloat, {text});
    return value;
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(FoldUpper(static_cast<unsigned char>(c)));
    return out;
}

std::string LowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(FoldLower(static_cast<unsigned char>(c)));
    return out;
}

int CompareText(const std::string& a, const std::string& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;  // sorted neighbours share long beginnings
        const int ca = FoldUpper(static_cast<unsigned char>(a[i]));
        const int cb = FoldUpper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Case folding keeps the length, so texts of different lengths are never the same.
bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}
