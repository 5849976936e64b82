// The node classes of the quick-text library: TTextNode (the top node, and the base of the
// others), TTextGroup (a group) and TTextData (a text item). Each can hold its formatted text
// as RTF bytes in a stream of its own, which the editor loads and saves.
#pragma once

#include <memory>

#include "base/stream.h"
#include "nodes/node.h"

class TBinaryBlock;

// Symbol numbers in the picture list.
constexpr int32_t SymbolGroup = 1;
constexpr int32_t SymbolText = 3;
constexpr int32_t SymbolTop = 5;

class TTextNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // A new entry as the user creates it: text "Neuer Text" (groups "Neue Gruppe"), editable,
    // sorted among its siblings, with the symbol of its kind.
    static TTextNode* CreateNew(TNodeClass nodeClass);
    template <class T>
    static T* CreateNew() {
        return static_cast<T*>(CreateNew(&T::StaticClass()));
    }
    // The top node of a new library: "Dadirevovezi" with symbol 5.
    static TTextNode* CreateTop();

    // The RTF text, created empty on the first request; the position is set to 0.
    TMemoryStream& GetDataStream();
    bool HasData() const { return data_ && data_->Size() > 0; }
    int64_t DataSize() const { return data_ ? data_->Size() : 0; }

    // The "Data" property: a 32-bit byte count followed by the bytes.
    std::vector<uint8_t> DataValue() const;
    // Raises EReadError (invalid stream format) when the count does not fit the bytes.
    void SetDataValue(std::vector<uint8_t> value);
    // The same from a binary value being read, taking only the counted bytes from it.
    void ReadDataValue(TBinaryBlock& block);

    // Answers the node grid's picture query (NM_NODEDRAWINFO) and row height query
    // (NM_NODEROWHEIGHT) from the symbol pictures.
    void Dispatch(TNodeMessage& message) override;

protected:
    // What CreateNew does after the virtual constructor.
    virtual void InitNew();

private:
    std::unique_ptr<TMemoryStream> data_;
};

class TTextGroup : public TTextNode {
public:
    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
    void InitNode() override;

protected:
    void InitNew() override;
};

class TTextData : public TTextNode {
public:
    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
    void InitNode() override;
};

// Registers the three classes with the node class registry; done at program start.
void RegisterTextNodeClasses();
