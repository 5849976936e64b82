// Writes the seed corpus of the node stream fuzz targets into the folder given: files as the
// program writes them (a quick-text library, a configuration, a plain tree with settings, a
// deep chain) and the same trees as clipboard blocks without resource header.
//   make_node_seeds nodes/fuzz/corpus
#include <cstdio>
#include <memory>
#include <string>

#include "app/text_node.h"
#include "base/stream.h"
#include "config/config_node.h"
#include "nodes/node_registry.h"
#include "nodes/node_stream.h"

namespace {

void Write(const std::string& folder, const std::string& name, TNode* tree, bool asResource) {
    TMemoryStream stream;
    SaveToStream(tree, stream, asResource);
    TFileStream file(folder + "/" + name, fmCreate);
    file.WriteBuffer(stream.Memory(), static_cast<size_t>(stream.Size()));
    file.Commit();
}

std::unique_ptr<TNode> Library() {
    RegisterTextNodeClasses();
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    const char* groups[] = {"Briefe", "Gr\xFC\xDF" "e"};
    for (const char* name : groups) {
        TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
        group->SetText(name);
        group->SetParent(top.get());
        group->Expand(false);
        for (int i = 0; i < 3; ++i) {
            TTextData* item = TTextNode::CreateNew<TTextData>();
            item->SetText(std::string(name) + " " + std::to_string(i));
            item->SetParent(group);
            if (i != 1) {
                const std::string rtf = "{\\rtf1\\ansi Text " + std::to_string(i) + "\\par}";
                item->GetDataStream().WriteBuffer(rtf.data(), rtf.size());
            }
        }
    }
    // A text item below a text item, and a group with its own text.
    TTextData* below = TTextNode::CreateNew<TTextData>();
    below->SetParent(top->Child(0)->Child(0));
    static_cast<TTextNode*>(top->Child(1))->GetDataStream().WriteBuffer("{\\rtf1 g}", 8);
    top->SetState(top->State() + nsExpanded);
    return top;
}

std::unique_ptr<TNode> Configuration() {
    RegisterNodeClasses({&TConfigNode::StaticClass(), &TConfigRootNode::StaticClass()});
    std::unique_ptr<TConfigRootNode> root(TConfigRootNode::CreateEmpty());
    TNode* win = root->ForcePath("Standard\\TApplication\\VarnoletWin", false, &TConfigNode::StaticClass());
    win->SetValue("Left", TNodeValue::Of(int32_t(120)));
    win->SetValue("Top", TNodeValue::Of(int32_t(-1)));
    win->SetValue("WindowState", TNodeValue::Of(int32_t(0)));
    win->SetValue("FileName", TNodeValue::Of(std::string("C:\\Texte\\Varnolet.STD")));
    win->SetValue("Checked", TNodeValue::OfBool(true));
    TNode* editor = root->ForcePath("Standard\\TApplication\\TextEditWin\\Font", false, &TConfigNode::StaticClass());
    editor->SetValue("Name", TNodeValue::Of(std::string("Arial")));
    editor->SetValue("Size", TNodeValue::Of(10.5));
    return std::unique_ptr<TNode>(root.release());
}

std::unique_ptr<TNode> PlainTree() {
    std::unique_ptr<TNode> top(TNode::Create<TNode>("Ablage"));
    TNode* a = TNode::Create<TNode>("a");
    top->InsertNode(-1, a, imChild | imIntoSelf);
    a->SetValue("Name", TNodeValue::Of(std::string("Wert")));
    a->SetBitmap(7);
    a->SetOption(a->Option() + noNotifyRoot - noCanSort);
    top->InsertNode(-1, TNode::Create<TNode>(std::string(300, 'L')), imChild | imIntoSelf);
    return top;
}

std::unique_ptr<TNode> Chain(int levels) {
    std::unique_ptr<TNode> top(TNode::Create<TNode>("0"));
    TNode* last = top.get();
    for (int i = 1; i < levels; ++i) {
        TNode* next = TNode::Create<TNode>(std::to_string(i));
        last->InsertNode(-1, next, imChild | imIntoSelf);
        last = next;
    }
    return top;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_node_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct TSeed {
        const char* name;
        std::unique_ptr<TNode> tree;
    };
    TSeed seeds[] = {{"library", Library()}, {"configuration", Configuration()}, {"plain", PlainTree()},
                     {"chain", Chain(40)}};
    for (TSeed& seed : seeds) {
        Write(folder, std::string(seed.name) + ".node", seed.tree.get(), true);
        Write(folder, std::string(seed.name) + ".clip", seed.tree.get(), false);
    }
    return 0;
}
