// The process-wide registry of node classes: maps class names (compared without regard to
// letter case) to node classes, so that node streams can name the classes of their nodes.
// TNode itself is registered when the registry is first used.
#pragma once

#include <string>
#include <vector>

#include "node.h"

// A stream names a node class that is not registered (65290 "Node-Objekt "%s" ist nicht
// registriert.", formatted with the name).
class ENodeNotRegistered : public Exception {
public:
    using Exception::Exception;
};

// Adds each class under its class name; registering a name again replaces the class.
bool RegisterNodeClasses(const std::vector<TNodeClass>& classes);
// Null when no class of that name is registered.
TNodeClass FindNodeClass(const std::string& name);
// Raises ENodeNotRegistered when no class of that name is registered.
TNodeClass GetNodeClass(const std::string& name);
// The registered classes, sorted by class name.
std::vector<TNodeClass> RegisteredNodeClasses();
