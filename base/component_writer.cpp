#include "component_writer.h"

#include <cstring>

#include "exception.h"
#include "format.h"
#include "string_ids.h"

namespace {

constexpr uint64_t Mantissa52 = (uint64_t(1) << 52) - 1;
constexpr uint64_t TopBit = uint64_t(1) << 63;

// Object properties nest only a few levels in practice; the limit stops an object that hands
// out itself as its own property.
constexpr int MaxObjectPropertyDepth = 16;

uint64_t DoubleBits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double BitsToDouble(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int LeadingZeros(uint64_t value) {  // value != 0
    int count = 0;
    while (!(value & TopBit)) {
        value <<= 1;
        ++count;
    }
    return count;
}

// Value shifted right by Shift bits, rounded to nearest with ties to even.
uint64_t ShiftRound(uint64_t value, int shift) {
    if (shift <= 0) return value;
    if (shift > 64) return 0;
    const uint64_t kept = shift == 64 ? 0 : value >> shift;
    const uint64_t rest = shift == 64 ? value : value & ((uint64_t(1) << shift) - 1);
    const uint64_t half = uint64_t(1) << (shift - 1);
    return (rest > half || (rest == half && (kept & 1))) ? kept + 1 : kept;
}

}  // namespace

TExtended DoubleToExtended(double value) {
    const uint64_t bits = DoubleBits(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & Mantissa52;
    uint64_t mantissa = 0;
    int extExponent = 0;
    if (exponent == 0x7FF) {  // infinity or NaN
        extExponent = 0x7FFF;
        mantissa = TopBit | (fraction << 11);
    } else if (exponent == 0) {
        if (fraction != 0) {  // denormal double: normal in extended
            const int zeros = LeadingZeros(fraction);
            mantissa = fraction << zeros;
            extExponent = -1074 - zeros + 16383 + 63;
        }
    } else {
        extExponent = exponent - 1023 + 16383;
        mantissa = TopBit | (fraction << 11);
    }
    TExtended out{};
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    const uint16_t signExponent = static_cast<uint16_t>(extExponent | (negative ? 0x8000 : 0));
    out[8] = static_cast<uint8_t>(signExponent);
    out[9] = static_cast<uint8_t>(signExponent >> 8);
    return out;
}

double ExtendedToDouble(const TExtended& bytes) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= uint64_t(bytes[i]) << (8 * i);
    const unsigned signExponent = bytes[8] | (unsigned(bytes[9]) << 8);
    const uint64_t sign = uint64_t(signExponent >> 15) << 63;
    const int extExponent = static_cast<int>(signExponent & 0x7FFF);
    const uint64_t infinity = sign | (uint64_t(0x7FF) << 52);

    if (extExponent == 0x7FFF) {
        if ((mantissa << 1) == 0) return BitsToDouble(infinity);
        uint64_t payload = (mantissa >> 11) & Mantissa52;
        if (payload == 0) payload = uint64_t(1) << 51;  // keep it a NaN
        return BitsToDouble(infinity | payload);
    }
    if (mantissa == 0) return BitsToDouble(sign);

    // Value = mantissa * 2^scale; normalise so that the top bit is set.
    int scale = (extExponent == 0 ? 1 : extExponent) - 16383 - 63;
    const int zeros = LeadingZeros(mantissa);
    mantissa <<= zeros;
    scale -= zeros;
    int exponent = scale + 63;  // of the leading bit
    if (exponent > 1023) return BitsToDouble(infinity);
    if (exponent >= -1022) {
        uint64_t kept = ShiftRound(mantissa, 11);
        if (kept == (uint64_t(1) << 53)) {
            kept >>= 1;
            if (++exponent > 1023) return BitsToDouble(infinity);
        }
        return BitsToDouble(sign | (uint64_t(exponent + 1023) << 52) | (kept & Mantissa52));
    }
    // Denormal double: units of 2^-1074. A carry into bit 52 gives the smallest normal value,
    // which is the right bit pattern as it stands.
    return BitsToDouble(sign | ShiftRound(mantissa, -(scale + 1074)));
}

std::vector<const TPropInfo*> StreamedProps(const TClassInfo& cls) {
    std::vector<const TPropInfo*> result;
    for (const TPropInfo* prop : cls.AllProps()) {
        bool replaced = false;
        for (const TPropInfo*& existing : result) {
            if (SameText(existing->Name, prop->Name)) {
                existing = prop;
                replaced = true;
                break;
            }
        }
        if (!replaced) result.push_back(prop);
    }
    return result;
}

// ---- TComponent's default record body ----

void TComponent::WriteState(TComponentWriter& writer) {
    writer.WriteProperties(*this);
    writer.WriteListEnd();
    GetChildren([&writer](TComponent* child) { writer.WriteComponent(child); });
    writer.WriteListEnd();
}

// ---- TComponentWriter ----

void TComponentWriter::WriteRootComponent(TComponent* root) {
    TComponent* previous = root_;
    root_ = root;
    try {
        WriteSignature();
        WriteComponent(root);
    } catch (...) {
        root_ = previous;
        throw;
    }
    root_ = previous;
}

void TComponentWriter::WriteSignature() { stream_.WriteBuffer(FilerSignature, sizeof FilerSignature); }

void TComponentWriter::WriteComponent(TComponent* component) {
    WriteStr(component->ClassName());
    WriteStr(component->Name());
    component->WriteState(*this);
}

void TComponentWriter::WriteProperties(const TPersistent& instance, const std::string& prefix) {
    WriteObjectProperties(instance, prefix, 0);
}

void TComponentWriter::WriteObjectProperties(const TPersistent& instance, const std::string& prefix, int depth) {
    if (depth > MaxObjectPropertyDepth) throw EWriteError(sid::WriteError);
    for (const TPropInfo* prop : StreamedProps(instance.ClassType())) {
        if (!prop->Get || !prop->IsStored(instance)) continue;
        if (prop->Kind == TPropKind::pkObject) {
            if (const TPersistent* object = std::get<TPersistent*>(prop->Get(instance)))
                WriteObjectProperties(*object, prefix + prop->Name + ".", depth + 1);
        } else if (prop->Set) {
            WriteProperty(instance, *prop, prefix);
        }
    }
}

void TComponentWriter::WriteProperty(const TPersistent& instance, const TPropInfo& prop, const std::string& prefix) {
    const TPropValue value = prop.Get(instance);
    if (prop.Kind == TPropKind::pkStringList) {
        WriteStr(prefix + prop.Name + ".Strings");
        WriteListBegin();
        for (const std::string& line : std::get<std::vector<std::string>>(value)) WriteString(line);
        WriteListEnd();
        return;
    }
    WriteStr(prefix + prop.Name);
    switch (prop.Kind) {
        case TPropKind::pkInteger: WriteInteger(std::get<int32_t>(value)); break;
        case TPropKind::pkBoolean: WriteBoolean(std::get<bool>(value)); break;
        case TPropKind::pkChar: WriteString(std::string(1, static_cast<char>(std::get<int32_t>(value)))); break;
        case TPropKind::pkFloat: WriteFloat(std::get<double>(value)); break;
        case TPropKind::pkString: WriteString(std::get<std::string>(value)); break;
        case TPropKind::pkIdent: WriteIdent(std::get<std::string>(value)); break;
        case TPropKind::pkSet: WriteSet(std::get<TSetValue>(value).bits, prop.SetNames); break;
        case TPropKind::pkBinary: WriteBinary(std::get<std::vector<uint8_t>>(value)); break;
        case TPropKind::pkIntegerList:
            WriteListBegin();
            for (int32_t item : std::get<std::vector<int32_t>>(value)) WriteInteger(item);
            WriteListEnd();
            break;
        case TPropKind::pkStringList:
        case TPropKind::pkObject: break;  // handled above and by WriteProperties
    }
}

void TComponentWriter::WriteValueType(TValueType type) {
    const uint8_t byte = type;
    stream_.WriteBuffer(&byte, 1);
}

void TComponentWriter::WriteUInt32(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    stream_.WriteBuffer(bytes, 4);
}

void TComponentWriter::WriteInteger(int32_t value) {
    const auto pattern = static_cast<uint32_t>(value);
    if (value >= -128 && value <= 127) {
        WriteValueType(vaInt8);
        const uint8_t byte = static_cast<uint8_t>(pattern);
        stream_.WriteBuffer(&byte, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteValueType(vaInt16);
        const uint8_t bytes[2] = {static_cast<uint8_t>(pattern), static_cast<uint8_t>(pattern >> 8)};
        stream_.WriteBuffer(bytes, 2);
    } else {
        WriteValueType(vaInt32);
        WriteUInt32(pattern);
    }
}

void TComponentWriter::WriteString(const std::string& value) {
    if (value.size() <= 255) {
        WriteValueType(vaString);
        WriteStr(value);
    } else {
        WriteValueType(vaLString);
        WriteUInt32(static_cast<uint32_t>(value.size()));
        stream_.WriteBuffer(value.data(), value.size());
    }
}

void TComponentWriter::WriteIdent(const std::string& value) {
    WriteValueType(vaIdent);
    WriteStr(value);
}

void TComponentWriter::WriteFloat(double value) {
    WriteValueType(vaExtended);
    const TExtended bytes = DoubleToExtended(value);
    stream_.WriteBuffer(bytes.data(), bytes.size());
}

void TComponentWriter::WriteSet(uint32_t bits, const std::vector<std::string>& names) {
    WriteValueType(vaSet);
    for (size_t i = 0; i < names.size() && i < 32; ++i) {
        if (bits & (uint32_t(1) << i)) WriteStr(names[i]);
    }
    WriteStr("");
}

void TComponentWriter::WriteBinary(const std::vector<uint8_t>& data) {
    WriteValueType(vaBinary);
    WriteUInt32(static_cast<uint32_t>(data.size()));
    if (!data.empty()) stream_.WriteBuffer(data.data(), data.size());
}

void TComponentWriter::WriteStr(const std::string& text) {
    if (text.size() > 255) throw EWriteError(sid::WriteError);
    const uint8_t length = static_cast<uint8_t>(text.size());
    stream_.WriteBuffer(&length, 1);
    if (length) stream_.WriteBuffer(text.data(), length);
}
