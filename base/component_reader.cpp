#include "component_reader.h"

#include <algorithm>
#include <cstring>

#include "exception.h"
#include "format.h"
#include "string_ids.h"

namespace {

constexpr size_t BufferSize = 256 * 1024;
// Sets of the system have at most 32 elements; a few more are tolerated, a flood is not.
constexpr size_t MaxSetNames = 256;

[[noreturn]] void InvalidValue() { throw EReadError(sid::InvalidPropertyValue); }

bool IsInteger(TValueType type) { return type == vaInt8 || type == vaInt16 || type == vaInt32; }
bool IsText(TValueType type) { return type == vaString || type == vaLString || type == vaIdent; }

std::vector<const TClassInfo*>& ComponentClasses() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) return parts;
        start = dot + 1;
    }
}

}  // namespace

// ---- Scalar conversion ----

TPropValue ScalarToPropValue(const TStreamScalar& value, const TPropInfo& prop) {
    const TValueType type = value.Type;
    switch (prop.Kind) {
        case TPropKind::pkInteger:
            if (IsInteger(type)) return value.Integer;
            break;
        case TPropKind::pkBoolean:
            if (type == vaFalse || type == vaTrue) return type == vaTrue;
            break;
        case TPropKind::pkChar:
            if (IsText(type) && value.Text.size() == 1) return int32_t(static_cast<uint8_t>(value.Text[0]));
            if (IsInteger(type) && value.Integer >= 0 && value.Integer <= 255) return value.Integer;
            break;
        case TPropKind::pkFloat:
            if (type == vaExtended) return value.Float;
            if (IsInteger(type)) return double(value.Integer);
            break;
        case TPropKind::pkString:
        case TPropKind::pkIdent:
            if (IsText(type)) return value.Text;
            break;
        case TPropKind::pkSet:
            if (type == vaSet) {
                uint32_t bits = 0;
                for (const std::string& name : value.Names) {
                    // Writers spell the names as the table does; other letter cases are taken too.
                    auto it = std::find(prop.SetNames.begin(), prop.SetNames.end(), name);
                    if (it == prop.SetNames.end())
                        it = std::find_if(prop.SetNames.begin(), prop.SetNames.end(),
                                          [&name](const std::string& n) { return SameText(n, name); });
                    const auto bit = it - prop.SetNames.begin();
                    if (it == prop.SetNames.end() || bit >= 32) InvalidValue();
                    bits |= uint32_t(1) << bit;
                }
                return TSetValue{bits};
            }
            break;
        case TPropKind::pkBinary:  // binary values come through Binary
        case TPropKind::pkIntegerList:  // lists come through BeginList
        case TPropKind::pkStringList:
        case TPropKind::pkObject: break;
    }
    InvalidValue();
}

// ---- Component classes ----

void RegisterComponentClass(const TClassInfo& cls) {
    auto& classes = ComponentClasses();
    for (const TClassInfo*& existing : classes) {
        if (SameText(existing->Name, cls.Name)) {
            existing = &cls;
            return;
        }
    }
    classes.push_back(&cls);
}

const TClassInfo* FindComponentClass(const std::string& name) {
    for (const TClassInfo* cls : ComponentClasses()) {
        if (SameText(cls->Name, name)) return cls;
    }
    return nullptr;
}

// ---- TBinaryBlock ----

void TBinaryBlock::Take(uint64_t count) {
    if (count > left_) throw EReadError(sid::InvalidStreamFormat);
    left_ -= count;
}

void TBinaryBlock::Read(void* buffer, size_t count) {
    Take(count);
    parser_.ReadBytes(buffer, count);
}

std::vector<uint8_t> TBinaryBlock::ReadBytes(uint64_t count) {
    Take(count);
    std::vector<uint8_t> bytes;
    parser_.AppendBytes(bytes, count);
    return bytes;
}

// ---- TComponentParser ----

TComponentParser::TComponentParser(TStream& stream) : stream_(stream) {
    const int64_t remaining = stream.Remaining();
    unread_ = remaining > 0 ? static_cast<uint64_t>(remaining) : 0;
}

void TComponentParser::Invalid() { throw EReadError(sid::InvalidStreamFormat); }

void TComponentParser::Fill() {
    if (bufferPos_ < buffer_.size() || unread_ == 0) return;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(unread_, BufferSize));
    buffer_.resize(want);
    const size_t got = stream_.Read(buffer_.data(), want);
    buffer_.resize(got);
    bufferPos_ = 0;
    // A stream that delivers less than its size promised has ended.
    unread_ = got == want ? unread_ - want : 0;
}

// Most reads find their bytes in the buffer; the stream is asked only when it is used up.
size_t TComponentParser::Buffered() {
    if (bufferPos_ == buffer_.size()) Fill();
    if (bufferPos_ == buffer_.size()) Invalid();
    return buffer_.size() - bufferPos_;
}

void TComponentParser::ReturnUnused() {
    const size_t rest = buffer_.size() - bufferPos_;
    if (rest) stream_.Seek(-static_cast<int64_t>(rest), soCurrent);
    buffer_.clear();
    bufferPos_ = 0;
}

uint8_t TComponentParser::PeekByte() {
    Buffered();
    return buffer_[bufferPos_];
}

uint8_t TComponentParser::ReadByte() {
    Buffered();
    return buffer_[bufferPos_++];
}

void TComponentParser::ReadBytes(void* buffer, size_t count) {
    if (count > Available()) Invalid();
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const size_t n = std::min(count, Buffered());
        std::memcpy(out, buffer_.data() + bufferPos_, n);
        bufferPos_ += n;
        out += n;
        count -= n;
    }
}

// The length is checked against what is left before anything is allocated.
void TComponentParser::ReadTextInto(std::string& text, uint64_t count) {
    if (count > Available()) Invalid();
    if (count <= buffer_.size() - bufferPos_) {
        text.assign(reinterpret_cast<const char*>(buffer_.data() + bufferPos_), static_cast<size_t>(count));
        bufferPos_ += static_cast<size_t>(count);
        return;
    }
    text.resize(static_cast<size_t>(count));
    ReadBytes(text.data(), text.size());
}

std::string TComponentParser::ReadText(uint64_t count) {
    std::string text;
    ReadTextInto(text, count);
    return text;
}

// Appends straight from the buffer: the block is neither zeroed first nor copied again.
void TComponentParser::AppendBytes(std::vector<uint8_t>& bytes, uint64_t count) {
    if (count > Available()) Invalid();
    bytes.reserve(bytes.size() + static_cast<size_t>(count));
    while (count > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, Buffered()));
        const uint8_t* chunk = buffer_.data() + bufferPos_;
        bytes.insert(bytes.end(), chunk, chunk + n);
        bufferPos_ += n;
        count -= n;
    }
}

void TComponentParser::SkipBytes(uint64_t count) {
    if (count > Available()) Invalid();
    while (count > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, Buffered()));
        bufferPos_ += n;
        count -= n;
    }
}

std::string TComponentParser::ReadShortString() { return ReadText(ReadByte()); }

uint32_t TComponentParser::ReadUInt32() {
    uint8_t b[4];
    ReadBytes(b, 4);
    return b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void TComponentParser::ReadSignature() {
    char signature[sizeof FilerSignature];
    if (Available() < sizeof signature) Invalid();
    ReadBytes(signature, sizeof signature);
    if (std::memcmp(signature, FilerSignature, sizeof signature) != 0) Invalid();
}

// Records are walked with a counter rather than by recursion: a record's properties, then
// either a child record (a non-zero byte starts its class name) or the zero byte that ends it.
void TComponentParser::Parse(TComponentStreamHandler& handler) {
    ReadSignature();
    ReadRecordHeader(handler);
    ReadProperties(handler);
    int depth = 1;
    while (depth > 0) {
        if (PeekByte() == 0) {
            ReadByte();
            handler.EndObject();
            --depth;
            continue;
        }
        if (depth >= MaxRecordDepth) Invalid();
        ReadRecordHeader(handler);
        ++depth;
        ReadProperties(handler);
    }
    ReturnUnused();
}

void TComponentParser::ReadRecordHeader(TComponentStreamHandler& handler) {
    const std::string className = ReadShortString();
    const std::string name = ReadShortString();
    handler.BeginObject(className, name);
}

void TComponentParser::ReadProperties(TComponentStreamHandler& handler) {
    for (;;) {
        const std::string name = ReadShortString();
        if (name.empty()) return;
        handler.BeginProperty(name);
        ReadValue(handler);
        handler.EndProperty();
    }
}

void TComponentParser::ReadValue(TComponentStreamHandler& handler) {
    int lists = 0;
    do {
        const auto type = static_cast<TValueType>(ReadByte());
        if (type == vaNull) {
            if (lists == 0) Invalid();  // an end of list where a value belongs
            handler.EndList();
            --lists;
        } else if (type == vaList) {
            if (lists >= MaxListDepth) Invalid();
            handler.BeginList();
            ++lists;
        } else if (type == vaBinary) {
            ReadBinary(handler);
        } else {
            ReadScalar(type, scalar_);
            handler.Value(scalar_);
        }
    } while (lists > 0);
}

// Texts of a quick-text file are binary values: the handler takes the bytes it needs straight
// from the buffer, and the parser skips the rest, so that it stays at the next value.
void TComponentParser::ReadBinary(TComponentStreamHandler& handler) {
    const uint32_t size = ReadUInt32();
    if (size > Available()) Invalid();
    TBinaryBlock block(*this, size);
    handler.Binary(block);
    SkipBytes(block.Size());
}

// The scalar is reused from value to value, so that its text and names keep their room.
void TComponentParser::ReadScalar(TValueType type, TStreamScalar& value) {
    value.Type = type;
    value.Integer = 0;
    value.Float = 0;
    value.Text.clear();
    value.Names.clear();
    switch (type) {
        case vaInt8: value.Integer = static_cast<int8_t>(ReadByte()); break;
        case vaInt16: {
            uint8_t b[2];
            ReadBytes(b, 2);
            value.Integer = static_cast<int16_t>(b[0] | (b[1] << 8));
            break;
        }
        case vaInt32: value.Integer = static_cast<int32_t>(ReadUInt32()); break;
        case vaExtended: {
            TExtended bytes;
            ReadBytes(bytes.data(), bytes.size());
            value.Float = ExtendedToDouble(bytes);
            break;
        }
        case vaString:
        case vaIdent: ReadTextInto(value.Text, ReadByte()); break;
        case vaLString: ReadTextInto(value.Text, ReadUInt32()); break;
        case vaFalse:
        case vaTrue: break;
        case vaSet:
            for (;;) {
                std::string name = ReadShortString();
                if (name.empty()) break;
                if (value.Names.size() >= MaxSetNames) Invalid();
                value.Names.push_back(std::move(name));
            }
            break;
        default: Invalid();
    }
}

// ---- TComponentReader ----

void TComponentReader::ReadRootComponent(TComponent* root) {
    root_ = root;
    createRoot_ = false;
    Read();
}

TComponent* TComponentReader::ReadComponent() {
    root_ = nullptr;
    createRoot_ = true;
    try {
        Read();
    } catch (...) {
        delete root_;
        root_ = nullptr;
        throw;
    }
    return root_;
}

void TComponentReader::Read() {
    stack_.clear();
    loaded_.clear();
    lastClass_ = nullptr;  // the classes may have been registered anew since the last read
    TComponentParser parser(stream_);
    parser.Parse(*this);
    std::vector<TComponent*> loaded;
    loaded.swap(loaded_);
    for (TComponent* component : loaded) {
        component->SetLoading(false);
        component->Loaded();
    }
}

const TClassInfo* TComponentReader::ComponentClass(const std::string& className) {
    if (!lastClass_ || className != lastClassName_) {
        lastClass_ = FindComponentClass(className);
        lastClassName_ = className;
    }
    return lastClass_;
}

TComponent* TComponentReader::CreateComponent(const std::string& className) {
    const TClassInfo* cls = ComponentClass(className);
    if (!cls || !cls->Create) throw EClassNotFound(sid::ClassNotFound, {className});
    TPersistent* object = cls->Create();
    auto* component = dynamic_cast<TComponent*>(object);
    if (!component) {
        delete object;
        throw EClassNotFound(sid::ClassNotFound, {className});
    }
    return component;
}

void TComponentReader::BeginObject(const std::string& className, const std::string& name) {
    TComponent* parent = Current();
    TComponent* component = nullptr;
    if (stack_.empty() && !createRoot_) {
        component = root_;
    } else if (stack_.empty()) {
        component = root_ = CreateComponent(className);
    } else {
        component = CreateComponent(className);
        try {
            root_->InsertComponent(component);
        } catch (...) {
            delete component;
            throw;
        }
    }
    stack_.push_back(component);
    component->SetLoading(true);
    loaded_.push_back(component);
    if (!name.empty()) component->SetName(name);
    component->ReadStart(parent);
}

void TComponentReader::EndObject() {
    TComponent* component = stack_.back();
    stack_.pop_back();
    component->ReadEnd(Current());
}

void TComponentReader::BeginProperty(const std::string& name) {
    target_ = TTarget();
    ResolveProperty(Current(), name);
}

void TComponentReader::ResolveProperty(TPersistent* instance, const std::string& path) {
    std::vector<TResolvedPath>& known = resolved_[path];
    for (size_t i = 0; i < known.size(); ++i) {
        if (!ResolveKnown(instance, known[i])) continue;
        // The class met now comes first next time: records of one class follow each other.
        if (i > 0) std::swap(known[0], known[i]);
        return;
    }
    known.push_back(ResolveNew(instance, path));
}

// Follows a path resolved before; false when an object on the way is of another class than
// it was then.
bool TComponentReader::ResolveKnown(TPersistent* instance, const TResolvedPath& known) {
    TPersistent* object = instance;
    for (size_t i = 0; i < known.Props.size(); ++i) {
        if (&object->ClassType() != known.Classes[i]) return false;
        const TPropInfo* prop = known.Props[i];
        if (i + 1 == known.Props.size()) {
            target_.Object = object;
            target_.Prop = prop;
            target_.StringList = known.StringList;
            return true;
        }
        object = prop->Get ? std::get<TPersistent*>(prop->Get(*object)) : nullptr;
        if (!object) throw EPropertyError(sid::InvalidPropertyPath);
    }
    return false;
}

// "A.B.C": A and B must be object properties (or B the "Strings" of a string list A).
TComponentReader::TResolvedPath TComponentReader::ResolveNew(TPersistent* instance, const std::string& path) {
    const std::vector<std::string> parts = SplitPath(path);
    TResolvedPath resolved;
    TPersistent* object = instance;
    for (size_t i = 0; i < parts.size(); ++i) {
        const TPropInfo* prop = object->ClassType().FindProp(parts[i]);
        if (!prop) throw EPropertyError(sid::UnknownProperty);
        resolved.Classes.push_back(&object->ClassType());
        resolved.Props.push_back(prop);
        const bool last = i + 1 == parts.size();
        if (last) {
            if (prop->Kind == TPropKind::pkObject || prop->Kind == TPropKind::pkStringList) InvalidValue();
            if (!prop->Set) throw EPropertyError(sid::PropertyReadOnly);
            target_.Object = object;
            target_.Prop = prop;
            return resolved;
        }
        if (prop->Kind == TPropKind::pkObject) {
            object = prop->Get ? std::get<TPersistent*>(prop->Get(*object)) : nullptr;
            if (!object) throw EPropertyError(sid::InvalidPropertyPath);
            continue;
        }
        if (prop->Kind == TPropKind::pkStringList && i + 2 == parts.size()) {
            if (!SameText(parts[i + 1], "Strings")) throw EPropertyError(sid::UnknownProperty);
            if (!prop->Set) throw EPropertyError(sid::PropertyReadOnly);
            target_.Object = object;
            target_.Prop = prop;
            target_.StringList = true;
            resolved.StringList = true;
            return resolved;
        }
        throw EPropertyError(sid::InvalidPropertyPath);
    }
    throw EPropertyError(sid::InvalidPropertyPath);
}

void TComponentStreamHandler::Binary(TBinaryBlock& block) {
    TStreamScalar value;
    value.Type = vaBinary;
    const std::vector<uint8_t> bytes = block.ReadBytes(block.Size());
    value.Text.assign(bytes.begin(), bytes.end());
    Value(value);
}

// A row that reads its value from the block itself takes only what it keeps; the others get
// the whole value.
void TComponentReader::Binary(TBinaryBlock& block) {
    if (target_.StringList || target_.Done || target_.Prop->Kind != TPropKind::pkBinary) InvalidValue();
    if (target_.Prop->ReadBinary)
        target_.Prop->ReadBinary(*target_.Object, block);
    else
        target_.Prop->Set(*target_.Object, TPropValue(block.ReadBytes(block.Size())));
    target_.Done = true;
}

void TComponentReader::Value(const TStreamScalar& value) {
    if (target_.Prop && target_.Prop->Kind == TPropKind::pkIntegerList) {
        if (!target_.InList || !IsInteger(value.Type)) InvalidValue();
        target_.Integers.push_back(value.Integer);
        return;
    }
    if (target_.StringList) {
        if (!target_.InList || !IsText(value.Type)) InvalidValue();
        target_.Lines.push_back(value.Text);
        return;
    }
    if (target_.Done) InvalidValue();
    target_.Prop->Set(*target_.Object, ScalarToPropValue(value, *target_.Prop));
    target_.Done = true;
}

void TComponentReader::BeginList() {
    const bool integers = target_.Prop && target_.Prop->Kind == TPropKind::pkIntegerList;
    if (!(target_.StringList || integers) || target_.InList || target_.Done) InvalidValue();
    target_.InList = true;
}

void TComponentReader::EndList() {
    target_.InList = false;
    target_.Done = true;
    if (target_.Prop->Kind == TPropKind::pkIntegerList) {
        target_.Prop->Set(*target_.Object, TPropValue(std::move(target_.Integers)));
        target_.Integers.clear();
        return;
    }
    target_.Prop->Set(*target_.Object, TPropValue(std::move(target_.Lines)));
    target_.Lines.clear();
}

void TComponentReader::EndProperty() { target_ = TTarget(); }
