#include "app/quick_text_file.h"

#include "base/exception.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/program.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace {

constexpr int StdExtensionId = 65144;  // ".STD"
constexpr int BackupExtensionId = 65146;  // ".~ST"
constexpr int FileNameKeyId = 65149;   // "FileName"
constexpr int PathKeyId = 65150;       // "Path"

std::string WithoutTrailingSeparator(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

std::unique_ptr<TTextNode> LoadTree(const std::string& fileName) {
    std::unique_ptr<TStream> file = FileSystem().OpenRead(fileName);
    return TQuickTextFile::ReadLibrary(*file);
}

}  // namespace

std::unique_ptr<TTextNode> TQuickTextFile::ReadLibrary(TStream& stream) {
    std::unique_ptr<TNode> node(LoadFromStream(stream));
    if (auto* tree = dynamic_cast<TTextNode*>(node.get())) {
        node.release();
        return std::unique_ptr<TTextNode>(tree);
    }
    throw EReadError(sid::InvalidStreamFormat);
}

TQuickTextFile::TQuickTextFile(const TComponent* owner) : owner_(owner), fileName_(DefaultFileName()) {}

std::string TQuickTextFile::DefaultFileName() const { return ProgramFile(LoadStr(StdExtensionId)); }

std::string TQuickTextFile::BackupName(const std::string& fileName) {
    return ChangeFileExt(fileName, LoadStr(BackupExtensionId));
}

std::string TQuickTextFile::TempName(const std::string& fileName) { return TempFileName(fileName); }

// The copies a missing file may come back from, the newest first: the new file of a save
// that stopped between its renames, then the backup.
std::vector<std::string> TQuickTextFile::CopiesOf(const std::string& fileName) {
    std::vector<std::string> copies;
    for (const std::string& copy : {TempName(fileName), BackupName(fileName)})
        if (FileSystem().FileExists(copy)) copies.push_back(copy);
    return copies;
}

// The file named in the settings, looked up in the program folder when the program has moved
// since the last close; the default file when it does not exist.
std::string TQuickTextFile::NameAtStart() const {
    const std::string programFolder = ExtractFilePath(ProgramFileName());
    std::string name = ReadComponentValue(owner_, LoadStr(FileNameKeyId), TNodeValue::Of(DefaultFileName())).String;
    const std::string path = ReadComponentValue(owner_, LoadStr(PathKeyId), TNodeValue::Of(std::string())).String;
    if (path.empty() || !SameText(WithoutTrailingSeparator(path), WithoutTrailingSeparator(programFolder)))
        name = ExtractFileName(name);
    if (ExtractFilePath(name).empty()) name = programFolder + name;
    // A file that is missing but has copies beside it is the user's library all the same.
    if (!FileSystem().FileExists(name) && CopiesOf(name).empty()) name = DefaultFileName();
    return name;
}

// A name beside FileName that neither a file nor one of its copies uses yet.
std::string TQuickTextFile::FreeNameBeside(const std::string& fileName) const {
    const std::string stem = ChangeFileExt(fileName, "");
    const std::string extension = ExtractFileExt(fileName);
    for (int i = 1;; ++i) {
        const std::string candidate = stem + "-" + std::to_string(i) + extension;
        if (!FileSystem().FileExists(candidate) && CopiesOf(candidate).empty()) return candidate;
    }
}

void TQuickTextFile::ResetSymbols(TNode* root) const {
    root->ForEach(
        [](TNode* n) {
            n->SetBitmap(n->InheritsFrom(TTextGroup::StaticClass()) ? SymbolGroup : SymbolText);
            return false;
        },
        feCollapsed);
    root->SetBitmap(SymbolTop);
}

// A missing file whose save stopped between its renames: the newest copy that loads completely
// is taken and put back under the file's name, so that the next save keeps it as the backup.
// None when no copy loads.
std::unique_ptr<TTextNode> TQuickTextFile::Recover() {
    for (const std::string& copy : CopiesOf(fileName_)) {
        std::unique_ptr<TTextNode> tree;
        try {
            tree = LoadTree(copy);
        } catch (const std::exception&) {
            continue;
        }
        // When the rename fails the copy stays where it is; the tree is saved at the end.
        FileSystem().RenameFile(copy, fileName_);
        ShowProgramMessage(Format(LoadStr(sid::QuickTextRestored), {fileName_, copy}), mkWarning);
        return tree;
    }
    return nullptr;
}

std::unique_ptr<TTextNode> TQuickTextFile::LoadAtStart(bool configExisted) {
    fileName_ = DefaultFileName();
    try {
        if (configExisted) fileName_ = NameAtStart();
        std::unique_ptr<TTextNode> tree;
        if (!FileSystem().FileExists(fileName_)) tree = Recover();
        if (!tree) tree = LoadTree(fileName_);
        if (!configExisted) ResetSymbols(tree.get());
        return tree;
    } catch (const std::exception&) {
        std::string message = LoadStr(sid::QuickTextCannotLoad);
        // A file, or a copy of it, that is there but cannot be read is the user's library:
        // none of them may be overwritten by the empty tree the program goes on with.
        if (FileSystem().FileExists(fileName_) || !CopiesOf(fileName_).empty()) {
            const std::string newName = FreeNameBeside(fileName_);
            message += "\n" + Format(LoadStr(sid::QuickTextKept), {fileName_, newName});
            fileName_ = newName;
        }
        ShowProgramMessage(message, mkError);
        return nullptr;
    }
}

std::unique_ptr<TTextNode> TQuickTextFile::Open(TNode* current, const std::string& chosenName, bool& failed) {
    failed = false;
    try {
        std::unique_ptr<TTextNode> tree;
        if (FileSystem().FileExists(chosenName)) tree = LoadTree(chosenName);
        if (current) SaveToFile(current, fileName_, false);
        fileName_ = chosenName;
        return tree;
    } catch (const std::exception&) {
        ShowProgramMessage(LoadStr(sid::QuickTextCannotLoad), mkError);
        failed = true;
        return nullptr;
    }
}

bool TQuickTextFile::SaveAtEnd(TNode* root) {
    try {
        SaveFileSafely(
            fileName_, [root](TStream& stream) { SaveToStream(root, stream, true); }, BackupName(fileName_),
            kmMustKeep);
        return true;
    } catch (const std::exception& error) {
        ShowProgramMessage(error.what(), mkError);
        return false;
    }
}

void TQuickTextFile::StoreSettings() const {
    WriteComponentValue(owner_, LoadStr(FileNameKeyId), TNodeValue::Of(fileName_));
    WriteComponentValue(owner_, LoadStr(PathKeyId), TNodeValue::Of(ExtractFilePath(ProgramFileName())));
}
