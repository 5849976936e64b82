#include "node_registry.h"

#include <algorithm>

#include "base/format.h"
#include "base/string_ids.h"

namespace {

// Sorted by class name, case-insensitively.
std::vector<TNodeClass>& Registry() {
    static std::vector<TNodeClass> classes{&TNode::StaticClass()};
    return classes;
}

std::vector<TNodeClass>::iterator LowerBound(std::vector<TNodeClass>& classes, const std::string& name) {
    return std::lower_bound(classes.begin(), classes.end(), name,
                            [](TNodeClass cls, const std::string& n) { return CompareText(cls->Name, n) < 0; });
}

}  // namespace

bool RegisterNodeClasses(const std::vector<TNodeClass>& classes) {
    auto& registry = Registry();
    for (TNodeClass cls : classes) {
        if (!cls) continue;
        auto it = LowerBound(registry, cls->Name);
        if (it != registry.end() && SameText((*it)->Name, cls->Name))
            *it = cls;
        else
            registry.insert(it, cls);
    }
    return true;
}

TNodeClass FindNodeClass(const std::string& name) {
    auto& registry = Registry();
    auto it = LowerBound(registry, name);
    return it != registry.end() && SameText((*it)->Name, name) ? *it : nullptr;
}

TNodeClass GetNodeClass(const std::string& name) {
    TNodeClass cls = FindNodeClass(name);
    if (!cls) throw ENodeNotRegistered(sid::NodeNotRegistered, {name});
    return cls;
}

std::vector<TNodeClass> RegisteredNodeClasses() { return Registry(); }
