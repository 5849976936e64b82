// The persistent-object base and the class descriptions of streamable classes.
//
// Every streamable class describes its published properties once, in a table of TPropInfo rows
// (name, kind, read, write, and the rule that decides whether the value is stored). The
// component writer, the component reader and the textual form work from these tables; the
// search lists a class's properties from them. Adding a property is one row in its class's table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

class TPersistent;
class TBinaryBlock;

enum class TPropKind {
    pkInteger,     // 32-bit signed
    pkBoolean,
    pkChar,        // one 8-bit character, stored as an integer code
    pkFloat,       // double in memory, 10-byte extended in streams
    pkString,
    pkIdent,       // an identifier (enumeration value, class name)
    pkSet,         // a bit set; SetNames gives the element names in bit order
    pkStringList,  // lines; streamed under "<Name>.Strings" as a list of strings
    pkBinary,      // bytes, streamed as binary data
    pkObject,      // a persistent object whose own properties are streamed as "<Name>.<Prop>"
    pkIntegerList, // 32-bit integers, streamed as a list of integer values (column widths)
};

// A set is carried as its bit mask.
struct TSetValue {
    uint32_t bits = 0;
};

using TPropValue = std::variant<std::monostate, int32_t, bool, double, std::string, TSetValue,
                                std::vector<std::string>, std::vector<uint8_t>, TPersistent*,
                                std::vector<int32_t>>;

struct TPropInfo {
    std::string Name;
    TPropKind Kind;
    std::function<TPropValue(const TPersistent&)> Get;
    // Empty for a property that cannot be set. The value is handed over: a setter may move
    // from it (binary values of a file can be large).
    std::function<void(TPersistent&, TPropValue&&)> Set;
    // Empty means always stored.
    std::function<bool(const TPersistent&)> Stored;
    // Element names of a set, in bit order.
    std::vector<std::string> SetNames;
    // For a binary row whose values may be large: reads the value from the stream itself, in
    // place of Set, taking only the bytes it keeps. Empty: the reader hands Set the whole value.
    std::function<void(TPersistent&, TBinaryBlock&)> ReadBinary;

    bool IsStored(const TPersistent& object) const { return !Stored || Stored(object); }
};

// The description of one class: its name, its base, its own published properties (the base
// class's come first, see AllProps) and, for classes that streams create, a factory.
struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Props;
    std::function<TPersistent*()> Create;  // empty for abstract classes

    bool InheritsFrom(const TClassInfo& other) const;
    // Published properties, base class first, each class's rows in declaration order.
    std::vector<const TPropInfo*> AllProps() const;
    // Case-insensitive lookup through the class and its bases; null when absent.
    const TPropInfo* FindProp(const std::string& name) const;
};

class TPersistent {
public:
    virtual ~TPersistent() = default;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().Name; }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }

    // Copies from Source. The base asks Source to assign itself to this object and raises
    // EConvertError ("%s kann nicht zu %s zugewiesen werden") when neither side knows how.
    virtual void Assign(TPersistent* source);
    // Copies this object into Dest; the base raises the same error as Assign.
    virtual void AssignTo(TPersistent* dest);
};

// Helpers for one-line property rows over member functions of class C.
template <class C>
TPropInfo IntProp(std::string name, int32_t (C::*get)() const, void (C::*set)(int32_t),
                  std::function<bool(const C&)> stored = {}) {
    TPropInfo p{std::move(name), TPropKind::pkInteger, {}, {}, {}, {}, {}};
    p.Get = [get](const TPersistent& o) { return TPropValue((static_cast<const C&>(o).*get)()); };
    if (set)
        p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(std::get<int32_t>(v)); };
    if (stored) p.Stored = [stored](const TPersistent& o) { return stored(static_cast<const C&>(o)); };
    return p;
}

template <class C>
TPropInfo StrProp(std::string name, std::string (C::*get)() const, void (C::*set)(const std::string&),
                  std::function<bool(const C&)> stored = {}, TPropKind kind = TPropKind::pkString) {
    TPropInfo p{std::move(name), kind, {}, {}, {}, {}, {}};
    p.Get = [get](const TPersistent& o) { return TPropValue((static_cast<const C&>(o).*get)()); };
    if (set)
        p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(std::get<std::string>(v)); };
    if (stored) p.Stored = [stored](const TPersistent& o) { return stored(static_cast<const C&>(o)); };
    return p;
}

template <class C>
TPropInfo SetProp(std::string name, std::vector<std::string> names, uint32_t (C::*get)() const,
                  void (C::*set)(uint32_t), std::function<bool(const C&)> stored = {}) {
    TPropInfo p{std::move(name), TPropKind::pkSet, {}, {}, {}, std::move(names), {}};
    p.Get = [get](const TPersistent& o) { return TPropValue(TSetValue{(static_cast<const C&>(o).*get)()}); };
    if (set)
        p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(std::get<TSetValue>(v).bits); };
    if (stored) p.Stored = [stored](const TPersistent& o) { return stored(static_cast<const C&>(o)); };
    return p;
}

// A row of any kind over free functions (lambdas) of class C. T is the value the row carries:
// int32_t (integer, char), bool, double, std::string (string, identifier), TSetValue,
// std::vector<std::string> (string list), std::vector<uint8_t> (binary), TPersistent*
// (object) or std::vector<int32_t> (integer list). An empty Set gives a row that cannot be set, an empty Stored one always stored.
template <class C, class T>
TPropInfo TypedProp(std::string name, TPropKind kind, std::function<T(const C&)> get,
                    std::function<void(C&, const T&)> set = {}, std::function<bool(const C&)> stored = {},
                    std::vector<std::string> setNames = {}) {
    TPropInfo p{std::move(name), kind, {}, {}, {}, std::move(setNames), {}};
    p.Get = [get](const TPersistent& o) { return TPropValue(get(static_cast<const C&>(o))); };
    if (set) p.Set = [set](TPersistent& o, const TPropValue& v) { set(static_cast<C&>(o), std::get<T>(v)); };
    if (stored) p.Stored = [stored](const TPersistent& o) { return stored(static_cast<const C&>(o)); };
    return p;
}
