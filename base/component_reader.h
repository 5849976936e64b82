// The component reader: reads a binary component stream into components, creating the nested
// ones by class name from the streamable component classes and setting properties through the
// property tables of the classes. Its parser, which the textual form uses too, checks every
// length, count, type byte and nesting level against the bytes that are left, so a damaged or
// hostile stream fails with EReadError (65454 "Ungültiges Stream-Format") instead of reading
// out of bounds or allocating without bound.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "component.h"
#include "component_writer.h"
#include "stream.h"

// Records nest at most this deep. Node trees are a handful of levels deep; the limit keeps the
// recursive walks over a tree that was read (destruction, enumeration, writing it again) well
// within the 1 MB stack of a Windows main thread.
constexpr int MaxRecordDepth = 256;
// Lists nest at most this deep inside one value.
constexpr int MaxListDepth = 32;

class TComponentParser;

// The bytes of one binary value, as the parser meets it. A handler reads them from the
// parser's buffer, which is refilled from the stream as needed, straight into where they
// belong, so that the large text blocks of a quick-text file are copied once. Every read is
// checked against the value's length; what the handler leaves unread is skipped.
class TBinaryBlock {
public:
    TBinaryBlock(const TBinaryBlock&) = delete;
    TBinaryBlock& operator=(const TBinaryBlock&) = delete;

    // The bytes not read yet.
    uint64_t Size() const { return left_; }
    // Reads exactly Count bytes; EReadError (65454) when the value has fewer.
    void Read(void* buffer, size_t count);
    // The next Count bytes in a block of their own, filled without zeroing it first;
    // EReadError (65454) when the value has fewer.
    std::vector<uint8_t> ReadBytes(uint64_t count);

private:
    friend class TComponentParser;
    TBinaryBlock(TComponentParser& parser, uint64_t size) : parser_(parser), left_(size) {}
    void Take(uint64_t count);

    TComponentParser& parser_;
    uint64_t left_;
};

// One value other than a list, as the parser hands it out.
struct TStreamScalar {
    TValueType Type = vaNull;
    int32_t Integer = 0;              // vaInt8, vaInt16, vaInt32
    double Float = 0;                 // vaExtended
    std::string Text;                 // vaString, vaLString, vaIdent; the bytes of vaBinary
    std::vector<std::string> Names;   // vaSet
};

// Told of the parts of a component stream as the parser meets them: records (objects) with
// their properties in stream order, each property's value as scalars and list brackets.
class TComponentStreamHandler {
public:
    virtual ~TComponentStreamHandler() = default;
    virtual void BeginObject(const std::string& className, const std::string& name) = 0;
    // After the object's properties and child records.
    virtual void EndObject() = 0;
    virtual void BeginProperty(const std::string& name) = 0;
    virtual void Value(const TStreamScalar& value) = 0;
    // A binary value (vaBinary). Handlers read what they need of it; the default reads it whole
    // and hands it to Value as the text of a scalar.
    virtual void Binary(TBinaryBlock& block);
    virtual void BeginList() = 0;
    virtual void EndList() = 0;
    virtual void EndProperty() = 0;
};

// Reads a component stream (the signature, then one record with its nested records) from the
// stream's position and leaves the position just after the record. Works without recursion.
class TComponentParser {
public:
    explicit TComponentParser(TStream& stream);
    TComponentParser(const TComponentParser&) = delete;
    TComponentParser& operator=(const TComponentParser&) = delete;

    void Parse(TComponentStreamHandler& handler);

private:
    friend class TBinaryBlock;

    void ReadSignature();
    void ReadRecordHeader(TComponentStreamHandler& handler);
    void ReadProperties(TComponentStreamHandler& handler);
    void ReadValue(TComponentStreamHandler& handler);
    void ReadScalar(TValueType type, TStreamScalar& value);

    uint8_t ReadByte();
    uint8_t PeekByte();
    void ReadBytes(void* buffer, size_t count);
    std::string ReadText(uint64_t count);
    void ReadTextInto(std::string& text, uint64_t count);
    // Appends Count bytes to Bytes, chunk by chunk from the buffer.
    void AppendBytes(std::vector<uint8_t>& bytes, uint64_t count);
    void SkipBytes(uint64_t count);
    void ReadBinary(TComponentStreamHandler& handler);
    std::string ReadShortString();
    uint32_t ReadUInt32();
    uint64_t Available() const { return (buffer_.size() - bufferPos_) + unread_; }
    void Fill();
    // The bytes in the buffer from the position on, at least one; refills an empty buffer.
    size_t Buffered();
    [[noreturn]] static void Invalid();
    // Gives back to the stream the bytes read ahead but not used.
    void ReturnUnused();

    TStream& stream_;
    uint64_t unread_ = 0;  // bytes of the stream not yet taken into the buffer
    std::vector<uint8_t> buffer_;
    size_t bufferPos_ = 0;
    TStreamScalar scalar_;  // the value being read
};

class TComponentReader : private TComponentStreamHandler {
public:
    explicit TComponentReader(TStream& stream) : stream_(stream) {}

    // Reads the stream's top record into Root (its class name is not checked); nested records
    // become components owned by Root. Then every component read gets its Loaded, Root first.
    void ReadRootComponent(TComponent* root);
    // Reads the top record into a new owner-less component of the class the record names;
    // nested records become components owned by it. The caller owns the result.
    TComponent* ReadComponent();

    // The component of the top record while reading.
    TComponent* Root() const { return root_; }
    // The component of the record being read, and that of the enclosing record.
    TComponent* Current() const { return stack_.empty() ? nullptr : stack_.back(); }
    TComponent* Parent() const { return stack_.size() < 2 ? nullptr : stack_[stack_.size() - 2]; }

private:
    // The property being read: the object whose row it is, and the row.
    struct TTarget {
        TPersistent* Object = nullptr;
        const TPropInfo* Prop = nullptr;
        bool StringList = false;  // "<Name>.Strings": a list of strings
        bool InList = false;
        bool Done = false;
        std::vector<std::string> Lines;
        std::vector<int32_t> Integers;  // the items of an integer list
    };

    void Read();
    TComponent* CreateComponent(const std::string& className);
    void BeginObject(const std::string& className, const std::string& name) override;
    void EndObject() override;
    void BeginProperty(const std::string& name) override;
    void Value(const TStreamScalar& value) override;
    void Binary(TBinaryBlock& block) override;
    void BeginList() override;
    void EndList() override;
    void EndProperty() override;
    // A property path resolved once: the rows along the path and the class of the object at
    // each step. Every record of a file names the same few paths, so the reader looks each
    // (class, path) up once.
    struct TResolvedPath {
        std::vector<const TClassInfo*> Classes;
        std::vector<const TPropInfo*> Props;
        bool StringList = false;
    };
    void ResolveProperty(TPersistent* instance, const std::string& path);
    bool ResolveKnown(TPersistent* instance, const TResolvedPath& known);
    TResolvedPath ResolveNew(TPersistent* instance, const std::string& path);
    const TClassInfo* ComponentClass(const std::string& className);

    TStream& stream_;
    TComponent* root_ = nullptr;
    bool createRoot_ = false;
    std::vector<TComponent*> stack_;
    std::vector<TComponent*> loaded_;
    TTarget target_;
    // The paths resolved so far, by their spelling, each with one resolution per class met.
    std::unordered_map<std::string, std::vector<TResolvedPath>> resolved_;
    // The class of the record read last: a stream names the same class in record after record.
    std::string lastClassName_;
    const TClassInfo* lastClass_ = nullptr;
};

// Converts a scalar from a stream to the value a row of Kind carries; raises EReadError
// (65436 "Ungültiger Eigenschaftswert") when the value does not fit the kind.
TPropValue ScalarToPropValue(const TStreamScalar& value, const TPropInfo& prop);

// The classes whose records the reader may create by name. Registering a name again replaces
// the class; the class must have a factory that makes a TComponent.
void RegisterComponentClass(const TClassInfo& cls);
// Case-insensitive; null when absent.
const TClassInfo* FindComponentClass(const std::string& name);
