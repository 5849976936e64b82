// The node classes of the configuration tree: TConfigRootNode at the top, TConfigNode for
// every group of settings. A setting is one "name=value" line in a node's Values.
#pragma once

#include "base/dates.h"
#include "nodes/node.h"

class TConfigNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // When the node was created or its values last changed.
    TDateTime LastModified() const { return lastModified_; }
    void SetLastModified(TDateTime value) { lastModified_ = value; }

    void InitNode() override;
    // Stamps LastModified and marks the node modified when its own values change outside
    // loading.
    void Notify(TNode* node, TNodeCode code, intptr_t param) override;

private:
    TDateTime lastModified_ = 0;
};

class TConfigRootNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // A new, empty configuration: a root that holds "Erstellt am" under the section prefix.
    static TConfigRootNode* CreateEmpty();

    // Paths below the root are always split at backslashes.
    char GetSeparator() const override { return '\\'; }
    void InitNode() override;
};
