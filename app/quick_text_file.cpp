#include "app/quick_text_file.h"

#include "base/exception.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/program.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace {

constexpr int StdExtensionId = 65144;  // ".STD"
constexpr int BackupExtensionId = 65146;  // ".~ST"
constexpr int FileNameKeyId = 65149;   // "FileName"
constexpr int PathKeyId = 65150;       // "Path"

// The extension of the new file while it is being written; it takes the real name only when
// it is complete.
const char* const TempExtension = ".$ST";

std::string WithoutTrailingSeparator(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

std::unique_ptr<TTextNode> LoadTree(const std::string& fileName) {
    std::unique_ptr<TNode> node(LoadFromFile(fileName));
    if (auto* tree = dynamic_cast<TTextNode*>(node.get())) {
        node.release();
        return std::unique_ptr<TTextNode>(tree);
    }
    throw EReadError(sid::InvalidStreamFormat);
}

}  // namespace

TQuickTextFile::TQuickTextFile(const TComponent* owner) : owner_(owner), fileName_(DefaultFileName()) {}

std::string TQuickTextFile::DefaultFileName() const { return ProgramFile(LoadStr(StdExtensionId)); }

std::string TQuickTextFile::BackupName(const std::string& fileName) {
    return ChangeFileExt(fileName, LoadStr(BackupExtensionId));
}

std::string TQuickTextFile::TempName(const std::string& fileName) { return ChangeFileExt(fileName, TempExtension); }

// The file named in the settings, looked up in the program folder when the program has moved
// since the last close; the default file when it does not exist.
std::string TQuickTextFile::NameAtStart() const {
    const std::string programFolder = ExtractFilePath(ProgramFileName());
    std::string name = ReadComponentValue(owner_, LoadStr(FileNameKeyId), TNodeValue::Of(DefaultFileName())).String;
    const std::string path = ReadComponentValue(owner_, LoadStr(PathKeyId), TNodeValue::Of(std::string())).String;
    if (path.empty() || !SameText(WithoutTrailingSeparator(path), WithoutTrailingSeparator(programFolder)))
        name = ExtractFileName(name);
    if (ExtractFilePath(name).empty()) name = programFolder + name;
    if (!FileSystem().FileExists(name)) name = DefaultFileName();
    return name;
}

// A name beside FileName that neither a file nor its backup uses yet.
std::string TQuickTextFile::FreeNameBeside(const std::string& fileName) const {
    const std::string stem = ChangeFileExt(fileName, "");
    const std::string extension = ExtractFileExt(fileName);
    for (int i = 1;; ++i) {
        const std::string candidate = stem + "-" + std::to_string(i) + extension;
        if (!FileSystem().FileExists(candidate) && !FileSystem().FileExists(BackupName(candidate))) return candidate;
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

std::unique_ptr<TTextNode> TQuickTextFile::LoadAtStart(bool configExisted) {
    fileName_ = DefaultFileName();
    try {
        if (configExisted) fileName_ = NameAtStart();
        std::unique_ptr<TTextNode> tree = LoadTree(fileName_);
        if (!configExisted) ResetSymbols(tree.get());
        return tree;
    } catch (const std::exception&) {
        std::string message = LoadStr(sid::QuickTextCannotLoad);
        // A file that is there but cannot be read is the user's library: neither it nor its
        // backup may be overwritten by the empty tree the program goes on with.
        if (FileSystem().FileExists(fileName_)) {
            const std::string newName = FreeNameBeside(fileName_);
            message += "\n" + Format(LoadStr(sid::QuickTextKept), {fileName_, newName});
            fileName_ = newName;
        }
        ShowProgramMessage(message);
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
        ShowProgramMessage(LoadStr(sid::QuickTextCannotLoad));
        failed = true;
        return nullptr;
    }
}

bool TQuickTextFile::SaveAtEnd(TNode* root) {
    TFileSystem& files = FileSystem();
    const std::string name = fileName_;
    const std::string temp = TempName(name);
    const std::string backup = BackupName(name);
    try {
        files.DeleteFile(temp);
        int64_t written = 0;
        {
            std::unique_ptr<TStream> stream = files.Create(temp);
            SaveToStream(root, *stream, true);
            written = stream->Size();
        }
        // What reached the disk must be all of it before the old file is given up.
        if (files.OpenRead(temp)->Size() != written) throw EWriteError(sid::WriteError);
    } catch (const std::exception& error) {
        files.DeleteFile(temp);
        ShowProgramMessage(error.what());
        return false;
    }
    const bool hadFile = files.FileExists(name);
    if (hadFile) {
        files.DeleteFile(backup);
        if (!files.RenameFile(name, backup)) {
            files.DeleteFile(temp);
            ShowProgramMessage(EFCreateError(sid::FCreateError, {backup}).Message());
            return false;
        }
    }
    if (!files.RenameFile(temp, name)) {
        if (hadFile) files.RenameFile(backup, name);
        files.DeleteFile(temp);
        ShowProgramMessage(EFCreateError(sid::FCreateError, {name}).Message());
        return false;
    }
    return true;
}

void TQuickTextFile::StoreSettings() const {
    WriteComponentValue(owner_, LoadStr(FileNameKeyId), TNodeValue::Of(fileName_));
    WriteComponentValue(owner_, LoadStr(PathKeyId), TNodeValue::Of(ExtractFilePath(ProgramFileName())));
}
