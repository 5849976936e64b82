// A program that uses the configuration and ends without freeing it: the settings must still
// be saved at program end, as they are when a program leaves by another way than its main
// loop's end. Argument: the folder of the program file.
#include <cstdio>
#include <string>

#include "base/program.h"
#include "config/configuration.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    SetProgramFileName(std::string(argv[1]) + "/Probe.exe");
    SetProgramMessageHandler([](const std::string& text, TMessageKind) { std::fprintf(stderr, "message: %s\n", text.c_str()); });
    WriteValue("Probe\\Answer", TNodeValue::Of(int32_t{42}));
    return 0;
}
