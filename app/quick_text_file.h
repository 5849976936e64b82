// The quick-text file (".STD") and how the library gets into and out of it: loading at start,
// opening another file, and saving at program end with the ".~ST" backup. The main window
// calls these; the file operations go through FileSystem(), so tests can make any step fail.
#pragma once

#include <memory>
#include <string>

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
    // loaded tree, or none after showing message 65148 when it could not be loaded. When the
    // file exists but is damaged, it and its backup are kept as they are and the next save
    // goes to a new name, which the message names.
    std::unique_ptr<TTextNode> LoadAtStart(bool configExisted);

    // Opening another file: Current (may be none) is saved under the current name, leaving the
    // previous content in ".C$$"; ChosenName becomes the current name. Returns the tree read
    // from ChosenName, or none when that file does not exist. A failure shows 65148, stops
    // where it happened and raises nothing.
    std::unique_ptr<TTextNode> Open(TNode* current, const std::string& chosenName, bool& failed);

    // Saving at program end: the new file is written completely beside the old one first; only
    // then the old file becomes the ".~ST" backup (replacing the older backup) and the new one
    // takes its name. A failure leaves the previous file and backup as they were and is shown
    // through the program's message function. True when saved.
    bool SaveAtEnd(TNode* root);

    // Writes "FileName" (the current name) and "Path" (the program folder) to the settings.
    void StoreSettings() const;

    // File names derived from a quick-text file name.
    static std::string BackupName(const std::string& fileName);  // ".~ST"
    static std::string TempName(const std::string& fileName);    // the new file while it is written

private:
    std::string DefaultFileName() const;
    std::string NameAtStart() const;
    std::string FreeNameBeside(const std::string& fileName) const;
    void ResetSymbols(TNode* root) const;

    const TComponent* owner_;
    std::string fileName_;
};
