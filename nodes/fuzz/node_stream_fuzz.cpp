// libFuzzer target: any bytes given to the node stream reader, the clipboard reader and the
// textual form must end in a node tree or an Exception, never in a crash or a leak.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/exception.h"
#include "base/stream.h"
#include "base/text_form.h"
#include "nodes/node.h"
#include "nodes/node_stream.h"

namespace {

void Feed(const uint8_t* data, size_t size, bool header) {
    TMemoryStream stream;
    if (size) stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    try {
        std::unique_ptr<TNode> node(header ? LoadFromStream(stream) : LoadFromComponentStream(stream));
        if (node) {
            TMemoryStream again;
            SaveToStream(node.get(), again, true);
        }
    } catch (const Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Feed(data, size, true);
    Feed(data, size, false);
    TMemoryStream stream;
    if (size) stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    try {
        ComponentStreamToText(stream);
    } catch (const Exception&) {
    }
    return 0;
}
