// The formats peers keep such libraries in, for comparison with the quick-text file: one JSON
// document (RapidJSON) with an object per node, and one SQLite table with a row per node. Both
// carry the same content as the node stream: class, caption, symbol, state and the RTF text,
// and both are read back into a quick-text tree of the same shape.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/text_node.h"

// All bytes of a file.
std::vector<char> ReadFileBytes(const std::string& fileName);
// All bytes of a file into Buffer, which is only resized when the file's size differs: the
// floor any loader is measured against.
void ReadFileInto(const std::string& fileName, std::vector<char>& buffer);
// Writes Bytes as FileName and syncs it to the disk before it returns. With Replace as a save
// does it: into a temporary file beside it, synced, the previous file kept under a name of its
// own, the new one renamed into place and the folder synced.
void WriteFileSynced(const std::string& fileName, const std::vector<char>& bytes, bool replace);

// JSON: {"class", "text", "symbol", "state", "rtf", "children": [...]} per node, written into
// the file and synced to the disk.
void SaveJson(TNode* top, const std::string& fileName);
// Reads and parses the file only (RapidJSON in-situ parse into a document); returns the
// number of nodes found, so that the parse cannot be left out.
size_t ParseJson(const std::string& fileName);
// Reads, parses and builds the tree.
std::unique_ptr<TNode> LoadJson(const std::string& fileName);

// SQLite: one table nodes(id, parent, position, class, text, symbol, state, data BLOB) in
// pre-order, written in one transaction with full synchronous commits (the journal and the
// database synced to the disk).
void SaveSqlite(TNode* top, const std::string& fileName);
std::unique_ptr<TNode> LoadSqlite(const std::string& fileName);
