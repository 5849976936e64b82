#include "program.h"

#include "base/file_system.h"

namespace {

std::string& FileNameRef() {
    static std::string fileName = "Varnolet.exe";
    return fileName;
}

TProgramMessageHandler& Handler() {
    static TProgramMessageHandler handler;
    return handler;
}

TMessageKind lastKind = mkInformation;

}  // namespace

const std::string& ProgramFileName() { return FileNameRef(); }
void SetProgramFileName(const std::string& fileName) { FileNameRef() = fileName; }
std::string ProgramFile(const std::string& extension) { return ChangeFileExt(ProgramFileName(), extension); }

std::vector<std::string>& ProgramMessages() {
    static std::vector<std::string> messages;
    return messages;
}

void ShowProgramMessage(const std::string& message, TMessageKind kind) {
    ProgramMessages().push_back(message);
    lastKind = kind;
    if (Handler()) Handler()(message, kind);
}

TMessageKind LastProgramMessageKind() { return lastKind; }

TProgramMessageHandler SetProgramMessageHandler(TProgramMessageHandler handler) {
    auto previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}
