#include "text_form.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "component_reader.h"

namespace {

// Binary data is written in lines of this many bytes below the property.
constexpr size_t BinaryBytesPerLine = 32;

std::string IntText(int64_t value) { return std::to_string(value); }

// Builds the text while the parser walks the stream.
class TTextFormWriter : public TComponentStreamHandler {
public:
    std::string& Text() { return out_; }

    void BeginObject(const std::string& className, const std::string& name) override {
        Indent(depth_);
        out_ += "object ";
        if (!name.empty()) out_ += name + ": ";
        out_ += className;
        out_ += "\r\n";
        ++depth_;
    }
    void EndObject() override {
        --depth_;
        Indent(depth_);
        out_ += "end\r\n";
    }
    void BeginProperty(const std::string& name) override {
        Indent(depth_);
        out_ += name;
        out_ += " = ";
        lists_ = 0;
    }
    void Value(const TStreamScalar& value) override {
        if (lists_ > 0) ItemLine();
        AppendScalar(value);
    }
    void BeginList() override {
        if (lists_ > 0) ItemLine();
        out_ += "(";
        ++lists_;
    }
    void EndList() override {
        --lists_;
        out_ += ")";
    }
    void EndProperty() override { out_ += "\r\n"; }

private:
    void Indent(int level) { out_.append(static_cast<size_t>(level) * 2, ' '); }
    // Each list item goes on a line of its own, one level deeper than the list.
    void ItemLine() {
        out_ += "\r\n";
        Indent(depth_ + lists_);
    }

    void AppendScalar(const TStreamScalar& value) {
        switch (value.Type) {
            case vaInt8:
            case vaInt16:
            case vaInt32: out_ += IntText(value.Integer); break;
            case vaExtended: out_ += FloatText(value.Float); break;
            case vaString:
            case vaLString: out_ += QuotedText(value.Text); break;
            case vaIdent: out_ += value.Text; break;
            case vaFalse: out_ += "False"; break;
            case vaTrue: out_ += "True"; break;
            case vaSet: AppendSet(value.Names); break;
            case vaBinary: AppendBinary(value.Text); break;
            default: break;
        }
    }

    void AppendSet(const std::vector<std::string>& names) {
        out_ += "[";
        for (size_t i = 0; i < names.size(); ++i) {
            if (i) out_ += ", ";
            out_ += names[i];
        }
        out_ += "]";
    }

    void AppendBinary(const std::string& bytes) {
        static const char digits[] = "0123456789ABCDEF";
        out_ += "{";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i % BinaryBytesPerLine == 0) {
                out_ += "\r\n";
                Indent(depth_ + lists_ + 1);
            }
            const auto byte = static_cast<uint8_t>(bytes[i]);
            out_ += digits[byte >> 4];
            out_ += digits[byte & 15];
        }
        out_ += "}";
    }

    std::string out_;
    int depth_ = 0;
    int lists_ = 0;
};

}  // namespace

std::string QuotedText(const std::string& text) {
    if (text.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (char c : text) {
        const auto code = static_cast<uint8_t>(c);
        if (code >= ' ') {
            if (!quoted) out += '\'';
            quoted = true;
            if (c == '\'') out += '\'';
            out += c;
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#';
            out += IntText(code);
        }
    }
    if (quoted) out += '\'';
    return out;
}

std::string FloatText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buffer[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    std::string text(buffer);
    for (char& c : text) {
        if (c == ',') c = '.';  // whatever the C locale says
    }
    return text;
}

std::string ComponentStreamToText(TStream& input) {
    TTextFormWriter writer;
    TComponentParser parser(input);
    parser.Parse(writer);
    return std::move(writer.Text());
}

void ObjectBinaryToText(TStream& input, TStream& output) {
    const std::string text = ComponentStreamToText(input);
    if (!text.empty()) output.WriteBuffer(text.data(), text.size());
}
