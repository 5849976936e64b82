#include "peers.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>

#include "nodes/node_registry.h"
#include "rapidjson/document.h"
#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"

namespace {

void WriteAll(int fd, const char* data, size_t size, const std::string& fileName) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) throw std::runtime_error("cannot write " + fileName);
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void SyncFolderOf(const std::string& fileName) {
    const std::string folder = std::filesystem::path(fileName).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Creates nodes by class name as the stream reader does: marked loading until the tree is
// complete, then given their loaded state.
class TTreeBuilder {
public:
    TNode* NewNode(const std::string& className) {
        auto it = classes_.find(className);
        if (it == classes_.end()) it = classes_.emplace(className, GetNodeClass(className)).first;
        TNode* node = it->second->Create();
        node->SetStateDirect(node->State() + nsLoading);
        nodes_.push_back(node);
        return node;
    }
    static void SetData(TNode* node, const char* data, size_t size) {
        if (size == 0) return;
        if (auto* text = dynamic_cast<TTextNode*>(node)) text->GetDataStream().WriteBuffer(data, size);
    }
    void Finish() {
        for (TNode* node : nodes_) {
            node->SetState(node->State() - TNodeState{nsLoading, nsLocked, nsSaving} + nsLoaded);
            node->AfterLoad();
        }
    }

private:
    std::map<std::string, TNodeClass> classes_;
    std::vector<TNode*> nodes_;
};

// ---- JSON ----

using TJsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void WriteJsonNode(TJsonWriter& writer, TNode* node) {
    writer.StartObject();
    writer.Key("class");
    const std::string& className = node->ClassName();
    writer.String(className.data(), static_cast<rapidjson::SizeType>(className.size()));
    writer.Key("text");
    const std::string text = node->Text();
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    writer.Key("symbol");
    writer.Int(node->Bitmap());
    writer.Key("state");
    writer.Uint(node->State().Bits());
    if (auto* textNode = dynamic_cast<TTextNode*>(node); textNode && textNode->HasData()) {
        TMemoryStream& data = textNode->GetDataStream();
        writer.Key("rtf");
        writer.String(reinterpret_cast<const char*>(data.Memory()), static_cast<rapidjson::SizeType>(data.Size()));
    }
    if (node->ChildCount() > 0) {
        writer.Key("children");
        writer.StartArray();
        for (int i = 0; i < node->ChildCount(); ++i) WriteJsonNode(writer, node->Child(i));
        writer.EndArray();
    }
    writer.EndObject();
}

size_t CountJsonNodes(const rapidjson::Value& value) {
    size_t count = 1;
    auto children = value.FindMember("children");
    if (children != value.MemberEnd())
        for (const auto& child : children->value.GetArray()) count += CountJsonNodes(child);
    return count;
}

const rapidjson::Value& Member(const rapidjson::Value& value, const char* name) {
    auto it = value.FindMember(name);
    if (it == value.MemberEnd()) throw std::runtime_error(std::string("JSON node without ") + name);
    return it->value;
}

TNode* BuildJsonNode(TTreeBuilder& builder, const rapidjson::Value& value, TNode* parent) {
    TNode* node = builder.NewNode(Member(value, "class").GetString());
    const rapidjson::Value& text = Member(value, "text");
    node->SetText(std::string(text.GetString(), text.GetStringLength()));
    node->SetBitmap(Member(value, "symbol").GetInt());
    node->SetState(TNodeState::FromBits(Member(value, "state").GetUint()) + nsLoading);
    if (auto rtf = value.FindMember("rtf"); rtf != value.MemberEnd())
        TTreeBuilder::SetData(node, rtf->value.GetString(), rtf->value.GetStringLength());
    if (auto children = value.FindMember("children"); children != value.MemberEnd())
        for (const auto& child : children->value.GetArray()) BuildJsonNode(builder, child, node);
    if (parent) node->SetParent(parent);
    return node;
}

// ---- SQLite ----

class TDatabase {
public:
    explicit TDatabase(const std::string& fileName) {
        if (sqlite3_open(fileName.c_str(), &db_) != SQLITE_OK) Fail("open");
    }
    ~TDatabase() { sqlite3_close(db_); }
    void Exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) Fail(sql);
        return statement;
    }
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error("SQLite " + what + ": " + sqlite3_errmsg(db_));
    }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace

void WriteFileSynced(const std::string& fileName, const std::vector<char>& bytes, bool replace) {
    const std::string target = replace ? fileName + ".tmp" : fileName;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + target);
    WriteAll(fd, bytes.data(), bytes.size(), target);
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) throw std::runtime_error("cannot sync " + target);
    if (!replace) return;
    const std::string kept = fileName + ".kept";
    std::remove(kept.c_str());
    std::rename(fileName.c_str(), kept.c_str());
    if (std::rename(target.c_str(), fileName.c_str()) != 0) throw std::runtime_error("cannot rename " + target);
    SyncFolderOf(fileName);
}

void ReadFileInto(const std::string& fileName, std::vector<char>& buffer) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot open " + fileName);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (buffer.size() != static_cast<size_t>(size)) buffer.resize(static_cast<size_t>(size));
    const size_t got = size > 0 ? std::fread(buffer.data(), 1, buffer.size(), file) : 0;
    std::fclose(file);
    if (got != buffer.size()) throw std::runtime_error("cannot read " + fileName);
}

std::vector<char> ReadFileBytes(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot open " + fileName);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    std::vector<char> bytes(static_cast<size_t>(size));
    const size_t got = size > 0 ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    std::fclose(file);
    if (got != bytes.size()) throw std::runtime_error("cannot read " + fileName);
    return bytes;
}

void SaveJson(TNode* top, const std::string& fileName) {
    rapidjson::StringBuffer buffer;
    TJsonWriter writer(buffer);
    WriteJsonNode(writer, top);
    WriteFileSynced(fileName, std::vector<char>(buffer.GetString(), buffer.GetString() + buffer.GetSize()), false);
}

size_t ParseJson(const std::string& fileName) {
    std::vector<char> bytes = ReadFileBytes(fileName);
    bytes.push_back('\0');
    rapidjson::Document document;
    document.ParseInsitu(bytes.data());
    if (document.HasParseError() || !document.IsObject()) throw std::runtime_error("bad JSON " + fileName);
    return CountJsonNodes(document);
}

std::unique_ptr<TNode> LoadJson(const std::string& fileName) {
    std::vector<char> bytes = ReadFileBytes(fileName);
    bytes.push_back('\0');
    rapidjson::Document document;
    document.ParseInsitu(bytes.data());
    if (document.HasParseError() || !document.IsObject()) throw std::runtime_error("bad JSON " + fileName);
    TTreeBuilder builder;
    std::unique_ptr<TNode> top(BuildJsonNode(builder, document, nullptr));
    builder.Finish();
    return top;
}

void SaveSqlite(TNode* top, const std::string& fileName) {
    std::remove(fileName.c_str());
    TDatabase db(fileName);
    // As durable as the quick-text save: every commit synced to the disk.
    db.Exec("PRAGMA synchronous=FULL");
    db.Exec("CREATE TABLE nodes(id INTEGER PRIMARY KEY, parent INTEGER, position INTEGER, class TEXT, "
            "text TEXT, symbol INTEGER, state INTEGER, data BLOB)");
    db.Exec("BEGIN");
    sqlite3_stmt* insert = db.Prepare("INSERT INTO nodes VALUES(?,?,?,?,?,?,?,?)");
    int64_t next = 0;
    // Rows in pre-order: a node's id is its pre-order number.
    std::function<void(TNode*, int64_t, int)> write = [&](TNode* node, int64_t parent, int position) {
        const int64_t id = next++;
        sqlite3_bind_int64(insert, 1, id);
        if (parent >= 0)
            sqlite3_bind_int64(insert, 2, parent);
        else
            sqlite3_bind_null(insert, 2);
        sqlite3_bind_int(insert, 3, position);
        sqlite3_bind_text(insert, 4, node->ClassName().c_str(), -1, SQLITE_STATIC);
        const std::string text = node->Text();
        sqlite3_bind_text(insert, 5, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 6, node->Bitmap());
        sqlite3_bind_int64(insert, 7, node->State().Bits());
        auto* textNode = dynamic_cast<TTextNode*>(node);
        if (textNode && textNode->HasData()) {
            TMemoryStream& data = textNode->GetDataStream();
            sqlite3_bind_blob(insert, 8, data.Memory(), static_cast<int>(data.Size()), SQLITE_STATIC);
        } else {
            sqlite3_bind_null(insert, 8);
        }
        if (sqlite3_step(insert) != SQLITE_DONE) db.Fail("insert");
        sqlite3_reset(insert);
        for (int i = 0; i < node->ChildCount(); ++i) write(node->Child(i), id, i);
    };
    write(top, -1, 0);
    sqlite3_finalize(insert);
    db.Exec("COMMIT");
}

std::unique_ptr<TNode> LoadSqlite(const std::string& fileName) {
    TDatabase db(fileName);
    sqlite3_stmt* select = db.Prepare("SELECT id, parent, class, text, symbol, state, data FROM nodes ORDER BY id");
    // Ids are pre-order numbers: a parent comes before its children, and siblings come in
    // child order, so appending each node to its parent rebuilds every list.
    std::vector<TNode*> byId;
    TTreeBuilder builder;
    std::unique_ptr<TNode> top;
    while (sqlite3_step(select) == SQLITE_ROW) {
        const int64_t id = sqlite3_column_int64(select, 0);
        if (id != static_cast<int64_t>(byId.size())) db.Fail("ids out of pre-order");
        TNode* node = builder.NewNode(reinterpret_cast<const char*>(sqlite3_column_text(select, 2)));
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 3));
        node->SetText(text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(select, 3))) : std::string());
        node->SetBitmap(sqlite3_column_int(select, 4));
        node->SetState(TNodeState::FromBits(static_cast<uint32_t>(sqlite3_column_int64(select, 5))) + nsLoading);
        if (const void* blob = sqlite3_column_blob(select, 6))
            TTreeBuilder::SetData(node, static_cast<const char*>(blob),
                                  static_cast<size_t>(sqlite3_column_bytes(select, 6)));
        byId.push_back(node);
        if (sqlite3_column_type(select, 1) == SQLITE_NULL) {
            if (top) db.Fail("two top nodes");
            top.reset(node);
            continue;
        }
        const int64_t parent = sqlite3_column_int64(select, 1);
        if (parent < 0 || parent >= id) db.Fail("parent out of pre-order");
        node->SetParent(byId[static_cast<size_t>(parent)]);
    }
    sqlite3_finalize(select);
    builder.Finish();
    return top;
}
