// Node streams: writing a node and its subtree as a component stream of TNodeObject records,
// reading it back, files with a resource header, data resources of the program, and the
// process-wide save mode. Also the published property rows of TNode, which carry the rules
// that decide what a node stream stores.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/stream.h"
#include "node.h"

// TNode's published properties in stream order: Option, Bitmap, State, Text, Values,
// Separator (never streamed), and ParentNodeClass, ChildNodeClass (read, never written).
std::vector<TPropInfo> NodePublishedProps();
// The Bitmap and State rows; with AlwaysStored they are written whatever their value and the
// save mode, as text nodes do. A subclass that redeclares one in its own table replaces the
// TNode row at its place.
TPropInfo NodeBitmapProp(bool alwaysStored);
TPropInfo NodeStateProp(bool alwaysStored);

// The process-wide save mode (NodeSaveMode, node.h) is reset to 0 after every SaveToStream
// and every load.

// Writes Node and its subtree at the stream's position; with AsResource a resource header
// (0xFF, 10, the upper-case DefaultText of the node's class, 0x1030, the length) comes first.
// A subtree of more than MaxNodeLevels levels, which no reader could take back, raises
// ENodeError (65276) before anything is written.
void SaveToStream(TNode* node, TStream& stream, bool asResource);
// Writes Node in resource form, or with AsText in the textual form, safely (base/safe_file.h):
// into a temporary file first, which takes the name only when it is complete on the disk. The
// previous file is kept as KeptName, by default the name with the extension ".C$$"; when it
// cannot be kept it is replaced without a copy. Failures raise EFCreateError (65447) or
// EWriteError (65453) and leave the previous file as it was. A tree deeper than MaxNodeLevels
// raises ENodeError (65276) before anything is written. Files go through FileSystem().
void SaveToFile(TNode* node, const std::string& fileName, bool asText = false, const std::string& keptName = "");
// The name a previous file is kept under by default: FileName with the extension ".C$$".
std::string ReplacedFileName(const std::string& fileName);
// Checks and skips the resource header (EReadError 65454 when the first byte is not 0xFF or
// the type word not 10), reads the component stream and returns the top node, which the
// caller owns. A damaged stream fails; nothing of the partly read tree is left over.
TNode* LoadFromStream(TStream& stream);
// The same for a plain component stream without resource header (the clipboard block).
TNode* LoadFromComponentStream(TStream& stream);
// Opens the file for reading through FileSystem() (EFOpenError 65448) and loads it.
TNode* LoadFromFile(const std::string& fileName);
// Loads the component stream kept as the data resource Name of the program; an empty Name
// means the DefaultText of NodeClass (TNode when none). A missing resource raises
// EResNotFound (65440 "Ressource %s nicht gefunden").
TNode* LoadFromResource(const std::string& name, TNodeClass nodeClass = nullptr);

// The resource header of node files.
void WriteResourceHeader(TStream& stream, const std::string& name);
void SkipResourceHeader(TStream& stream);

// Where LoadFromResource gets resource data from: true and the bytes when a data resource of
// that name exists. The Windows build installs one over the program's RCDATA resources;
// elsewhere none is installed until a caller (a test) does.
using TResourceReader = std::function<bool(const std::string& name, std::vector<uint8_t>& data)>;
// Returns the previous reader.
TResourceReader SetResourceReader(TResourceReader reader);

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
