// The quick-text file (".STD") and how the library gets into and out of it: loading at start,
// opening another file, and saving at program end with the ".~ST" backup. The main window
// calls these; the file operations go through FileSystem(), so tests can make any step fail.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/text_node.h"
#include "base/component.h"

class TQuickTextFile {
public:
    // Settings are read and written under Owner's component path ("FileName", "Path").
    explicit TQuickTextFile(const TComponent* owner);

    // The name of the current quick-text file.
    const std::string& FileName() const { return fileName_; }

    // Loading at start. ConfigExisted tells whether the ".CFG" file was there when the program
    // started (on a first start the symbols of the loaded entries are reset). Returns the
    // loaded tree, or none after showing message 65148 as an error when it could not be
    // loaded. A file that is missing while its ".$ST" (a save that stopped between its
    // renames) or ".~ST" is there comes back from the newest of them that loads completely,
    // which is renamed to the file's name; message 65274 names it. When the file or its copies
    // exist but none can be read, they are kept as they are and the next save goes to a new
    // name, which the message names.
    std::unique_ptr<TTextNode> LoadAtStart(bool configExisted);

    // Opening another file: Current (may be none) is saved under the current name, leaving the
    // previous content in ".C$$"; ChosenName becomes the current name. Returns the tree read
    // from ChosenName, or none when that file does not exist. A failure shows 65148, stops
    // where it happened and raises nothing.
    std::unique_ptr<TTextNode> Open(TNode* current, const std::string& chosenName, bool& failed);

    // Saving at program end: the new file is written completely beside the old one (".$ST")
    // and committed to the disk first; only then the old file becomes the ".~ST" backup
    // (replacing the older backup) and the new one takes its name. A failure at any step
    // leaves the previous file under its name and is shown as an error through the program's
    // message function. True when saved.
    bool SaveAtEnd(TNode* root);

    // Writes "FileName" (the current name) and "Path" (the program folder) to the settings.
    void StoreSettings() const;

    // Reads a library from the stream's position: a node stream in resource form whose top node
    // is a TTextNode. Anything else raises (EReadError 65454 for another kind of tree).
    static std::unique_ptr<TTextNode> ReadLibrary(TStream& stream);

    // File names derived from a quick-text file name.
    static std::string BackupName(const std::string& fileName);  // ".~ST"
    static std::string TempName(const std::string& fileName);    // the new file while it is written (".$ST")
    // The copies that exist beside FileName, the newest first: ".$ST", then ".~ST".
    static std::vector<std::string> CopiesOf(const std::string& fileName);

private:
    std::string DefaultFileName() const;
    std::string NameAtStart() const;
    std::string FreeNameBeside(const std::string& fileName) const;
    std::unique_ptr<TTextNode> Recover();
    void ResetSymbols(TNode* root) const;

    const TComponent* owner_;
    std::string fileName_;
};
