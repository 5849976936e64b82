#include "configuration.h"

#include "base/exception.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/program.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "nodes/node_registry.h"
#include "nodes/node_stream.h"

namespace {

TConfigRootNode* configRoot = nullptr;

std::string& Prefix() {
    static std::string prefix = "Standard\\";
    return prefix;
}

// Frees the configuration at program end, when the program did not do so itself.
struct TConfigurationEnd {
    ~TConfigurationEnd() { FreeConfiguration(); }
};

// Takes a loaded tree as the configuration root; another kind of tree is a wrong file.
TConfigRootNode* AsConfigRoot(TNode* loaded) {
    std::unique_ptr<TNode> node(loaded);
    if (auto* root = dynamic_cast<TConfigRootNode*>(node.get())) {
        node.release();
        return root;
    }
    throw EStreamError(sid::InvalidStreamFormat);
}

}  // namespace

TConfigRootNode* ReadConfiguration(TStream& stream) {
    RegisterNodeClasses({&TConfigNode::StaticClass(), &TConfigRootNode::StaticClass()});
    return AsConfigRoot(LoadFromStream(stream));
}

namespace {

TConfigRootNode* LoadConfigFile(const std::string& fileName) {
    std::unique_ptr<TStream> file = FileSystem().OpenRead(fileName);
    return ReadConfiguration(*file);
}

// A configuration file that is missing because a save stopped between its renames is taken
// from the newest complete copy beside it, which is then put back under the file's name.
TConfigRootNode* RecoverMissing(const std::string& fileName) {
    TFileSystem& files = FileSystem();
    if (files.FileExists(fileName)) return nullptr;
    for (const std::string& copy : {TempFileName(fileName), ConfigKeptName(fileName)}) {
        if (!files.FileExists(copy)) continue;
        try {
            TConfigRootNode* root = LoadConfigFile(copy);
            files.RenameFile(copy, fileName);
            return root;
        } catch (const std::exception&) {
        }
    }
    return nullptr;
}

TConfigRootNode* LoadOrCreate() {
    const std::string fileName = ProgramFile(".CFG");
    try {
        return LoadConfigFile(fileName);
    } catch (const std::exception&) {
    }
    if (TConfigRootNode* root = RecoverMissing(fileName)) return root;
    try {
        return AsConfigRoot(LoadFromResource(TConfigRootNode::StaticClass().DefaultText()));
    } catch (const std::exception&) {
    }
    TConfigRootNode* root = TConfigRootNode::CreateEmpty();
    ShowProgramMessage(LoadStr(sid::ConfigCannotLoad) + ExtractFileName(fileName));
    return root;
}

std::string LastSegment(const std::string& path) {
    size_t sep = path.rfind('\\');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

TConfigRootNode* Configuration() {
    if (configRoot) return configRoot;
    RegisterNodeClasses({&TConfigNode::StaticClass(), &TConfigRootNode::StaticClass()});
    TConfigRootNode* root = LoadOrCreate();
    root->SetText(Format("Konfiguration von %s", {ExtractFileName(ProgramFileName())}));
    configRoot = root;
    // Made after the class tables, the registry and the file system the save at program end
    // uses, so that it is destroyed (and saves) before them.
    static TConfigurationEnd end;
    return configRoot;
}

bool HasConfiguration() { return configRoot != nullptr; }

bool ConfigurationFileExists() {
    const std::string fileName = ProgramFile(".CFG");
    TFileSystem& files = FileSystem();
    return files.FileExists(fileName) || files.FileExists(TempFileName(fileName)) ||
           files.FileExists(ConfigKeptName(fileName));
}

void PruneEmptyNodes(TNode* root) {
    for (int i = root->ChildCount() - 1; i >= 0; --i) {
        TNode* child = root->Child(i);
        PruneEmptyNodes(child);
        if (!child->HasChildren() && !child->IsValuesStored()) delete child;
    }
}

void FreeConfiguration() {
    TConfigRootNode* root = configRoot;
    if (!root) return;
    configRoot = nullptr;
    try {
        PruneEmptyNodes(root);
        WriteValueIn(root, "Letze \xC4nderungen am", TNodeValue::Of(DateTimeToStr(Now())));
        const std::string fileName = ProgramFile(".CFG");
        SaveToFile(root, fileName, false, ConfigKeptName(fileName));
    } catch (const std::exception& e) {
        ShowProgramMessage(e.what(), mkError);
    }
    delete root;
}

std::string ConfigKeptName(const std::string& fileName) { return ChangeFileExt(fileName, ".~CF"); }

const std::string& SectionPrefix() { return Prefix(); }
void SetSectionPrefix(const std::string& prefix) { Prefix() = prefix; }

void WriteValueIn(TNode* root, const std::string& name, const TNodeValue& value) {
    const std::string path = Prefix() + name;
    root->ForcePath(path, true, &TConfigNode::StaticClass())->SetValue(LastSegment(path), value);
}

TNodeValue ReadValueIn(TNode* root, const std::string& name, const TNodeValue& defaultValue) {
    const std::string path = Prefix() + name;
    TNodeValue value = defaultValue;
    root->ForcePath(path, true, &TConfigNode::StaticClass())->GetValue(LastSegment(path), value);
    return value;
}

void WriteValue(const std::string& name, const TNodeValue& value) { WriteValueIn(Configuration(), name, value); }

TNodeValue ReadValue(const std::string& name, const TNodeValue& defaultValue) {
    return ReadValueIn(Configuration(), name, defaultValue);
}

int32_t ReadInteger(const std::string& name, int32_t defaultValue) {
    return ReadValue(name, TNodeValue::Of(defaultValue)).Integer;
}

bool ReadBool(const std::string& name, bool defaultValue) {
    return ReadValue(name, TNodeValue::OfBool(defaultValue)).Boolean;
}

double ReadFloat(const std::string& name, double defaultValue) {
    return ReadValue(name, TNodeValue::Of(defaultValue)).Float;
}

std::string ReadString(const std::string& name, const std::string& defaultValue) {
    return ReadValue(name, TNodeValue::Of(defaultValue)).String;
}

std::string ComponentPath(const TComponent* component) {
    std::string path;
    for (const TComponent* c = component; c; c = c->Owner()) {
        const std::string segment = c->Name().empty() ? c->ClassName() : c->Name();
        path = path.empty() ? segment : segment + "\\" + path;
    }
    return path;
}

void WriteComponentValue(const TComponent* component, const std::string& name, const TNodeValue& value) {
    WriteValue(ComponentPath(component) + "\\" + name, value);
}

TNodeValue ReadComponentValue(const TComponent* component, const std::string& name, const TNodeValue& defaultValue) {
    return ReadValue(ComponentPath(component) + "\\" + name, defaultValue);
}

TNode* ComponentNode(const TComponent* component, const std::string& name) {
    TConfigRootNode* root = Configuration();
    return root->ForcePath(Prefix() + ComponentPath(component) + root->GetSeparator() + name, false,
                           &TConfigNode::StaticClass());
}
