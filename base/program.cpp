#include "program.h"

#include "base/file_system.h"

namespace {

std::string& FileNameRef() {
    static std::string fileName = "Varnolet.exe";
    return fileName;
}

std::function<void(const std::string&)>& Handler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

}  // namespace

const std::string& ProgramFileName() { return FileNameRef(); }
void SetProgramFileName(const std::string& fileName) { FileNameRef() = fileName; }
std::string ProgramFile(const std::string& extension) { return ChangeFileExt(ProgramFileName(), extension); }

std::vector<std::string>& ProgramMessages() {
    static std::vector<std::string> messages;
    return messages;
}

void ShowProgramMessage(const std::string& message) {
    ProgramMessages().push_back(message);
    if (Handler()) Handler()(message);
}

std::function<void(const std::string&)> SetProgramMessageHandler(std::function<void(const std::string&)> handler) {
    auto previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}
