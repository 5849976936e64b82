// The component writer: writes components as binary component stream records (class name,
// component name, typed property values, nested records), working from the property tables of
// the classes. Also the value type bytes of the format and the 10-byte extended float used for
// floating-point values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "component.h"
#include "stream.h"

// The type byte in front of every value.
enum TValueType : uint8_t {
    vaNull = 0,      // end of a list
    vaList = 1,      // values up to a vaNull
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,  // 10-byte x87 extended float, little-endian
    vaString = 6,    // length byte, bytes
    vaIdent = 7,     // length byte, bytes
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,   // 32-bit length, bytes
    vaSet = 11,      // element names as short strings, ended by an empty one
    vaLString = 12,  // 32-bit length, bytes
};

// The four bytes that open a component stream.
inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

// The 10 bytes of an x87 extended float: 64-bit mantissa with explicit integer bit, then
// 15-bit biased exponent and sign, little-endian. The conversions work on the bit patterns, so
// they give the same bytes on every compiler: every double converts exactly, and an extended
// value converts to the nearest double (ties to even), out-of-range ones to infinity or zero.
using TExtended = std::array<uint8_t, 10>;
TExtended DoubleToExtended(double value);
double ExtendedToDouble(const TExtended& bytes);

// A class's published properties in stream order: base class first, each class's rows in
// declaration order. A row that repeats a base row's name (a subclass changing the rule that
// decides whether it is stored) takes the base row's place.
std::vector<const TPropInfo*> StreamedProps(const TClassInfo& cls);

class TComponentWriter {
public:
    explicit TComponentWriter(TStream& stream) : stream_(stream) {}

    // The signature, then the record of Root and its children.
    void WriteRootComponent(TComponent* root);
    void WriteSignature();
    // One record: class name, component name, then the component's WriteState.
    void WriteComponent(TComponent* component);
    // The stored properties of Instance (see StreamedProps), names prefixed with Prefix. Object
    // properties write their object's own properties as "<Name>.<Prop>"; rows that cannot be
    // set are skipped.
    void WriteProperties(const TPersistent& instance, const std::string& prefix = "");
    void WriteProperty(const TPersistent& instance, const TPropInfo& prop, const std::string& prefix = "");

    // Single values, each with its type byte.
    void WriteListBegin() { WriteValueType(vaList); }
    void WriteListEnd() { WriteValueType(vaNull); }
    // In the smallest of 8, 16 and 32 bits that holds Value.
    void WriteInteger(int32_t value);
    void WriteBoolean(bool value) { WriteValueType(value ? vaTrue : vaFalse); }
    // Up to 255 bytes as a short string, longer ones as a long string.
    void WriteString(const std::string& value);
    void WriteIdent(const std::string& value);
    void WriteFloat(double value);
    // The names of the bits set in Bits, in bit order; bits without a name are left out.
    void WriteSet(uint32_t bits, const std::vector<std::string>& names);
    void WriteBinary(const std::vector<uint8_t>& data);
    // A short string without type byte (class, component and property names); raises
    // EWriteError for more than 255 bytes.
    void WriteStr(const std::string& text);

    // The root component of the stream being written; null outside WriteRootComponent.
    TComponent* Root() const { return root_; }
    TStream& Stream() { return stream_; }

private:
    void WriteValueType(TValueType type);
    void WriteUInt32(uint32_t value);
    void WriteObjectProperties(const TPersistent& instance, const std::string& prefix, int depth);

    TStream& stream_;
    TComponent* root_ = nullptr;
};
