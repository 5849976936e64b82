// The process-wide configuration: one tree of settings, loaded lazily from the ".CFG" file
// beside the program on first use and written back at program end. Settings are addressed
// by backslash-separated paths below the section prefix ("Standard\"); windows address
// theirs by their component path ("TApplication\VarnoletWin\Left").
#pragma once

#include <string>

#include "base/component.h"
#include "config/config_node.h"

// The configuration root, created on the first call (from the ".CFG" file; when that is
// missing because a save stopped half-way, from the newest complete copy beside it; else from
// the program's resource, else new and empty with the message "Kann Konfiguration nicht laden, ").
TConfigRootNode* Configuration();
// Reads a configuration tree from the stream's position (the node stream of a ".CFG" file, with
// its classes registered); another kind of tree raises EStreamError (65454). The caller owns it.
TConfigRootNode* ReadConfiguration(TStream& stream);

// True once the configuration root exists.
bool HasConfiguration();
// Whether the program has a configuration file to start from: the ".CFG" file, or a copy that a
// save which stopped half-way left beside it and that the configuration is recovered from.
bool ConfigurationFileExists();
// Program end: drops the empty nodes, stamps "Letze Änderungen am", saves the tree safely to
// the ".CFG" file (the previous file is kept as ".~CF", see ConfigKeptName) and frees it.
// Failures are shown as errors through the program's message function and leave the previous
// file as it was. Nothing happens without a configuration.
void FreeConfiguration();
// The name the previous configuration file is kept under: ".~CF" beside it. The configuration
// does not use ".C$$": the quick-text file of the same name keeps its replaced file there.
std::string ConfigKeptName(const std::string& fileName);

// The prefix put in front of every path built by the accessors below, initially "Standard\".
const std::string& SectionPrefix();
void SetSectionPrefix(const std::string& prefix);

// Values on a given root: Name is a path below the section prefix whose last segment is the
// value name. Reading creates missing nodes on the way (saving drops them again) and gives
// Default, converted by its kind, when the value is missing, empty or does not parse.
void WriteValueIn(TNode* root, const std::string& name, const TNodeValue& value);
TNodeValue ReadValueIn(TNode* root, const std::string& name, const TNodeValue& defaultValue);

// The same on the process-wide configuration.
void WriteValue(const std::string& name, const TNodeValue& value);
TNodeValue ReadValue(const std::string& name, const TNodeValue& defaultValue);
int32_t ReadInteger(const std::string& name, int32_t defaultValue);
bool ReadBool(const std::string& name, bool defaultValue);
double ReadFloat(const std::string& name, double defaultValue);
std::string ReadString(const std::string& name, const std::string& defaultValue);

// The path of a component through its owners: each level's name, or its class name when the
// name is empty, joined by "\" ("TApplication\VarnoletWin").
std::string ComponentPath(const TComponent* component);
void WriteComponentValue(const TComponent* component, const std::string& name, const TNodeValue& value);
TNodeValue ReadComponentValue(const TComponent* component, const std::string& name, const TNodeValue& defaultValue);
// The node at the component's path plus Name, every segment naming a node; created when missing.
TNode* ComponentNode(const TComponent* component, const std::string& name);

// Frees, depth first and last child first, every node below Root that is left with neither
// children nor stored values.
void PruneEmptyNodes(TNode* root);
