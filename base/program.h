// Where the program lives, and how it tells the user something. The program's file name is
// the one place its data files (".CFG", ".STD", ".PIL", ".CAL") are derived from; tests point
// it at a folder of their own. The message function is a seam the window layer fills with
// the message dialog; until then messages are only recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The full path of the program file; set at start-up from the platform.
const std::string& ProgramFileName();
void SetProgramFileName(const std::string& fileName);
// The program file name with its extension replaced, e.g. ProgramFile(".CFG").
std::string ProgramFile(const std::string& extension);

// What a message is: it decides the icon and the sound of the message dialog.
enum TMessageKind { mkInformation, mkWarning, mkError };

using TProgramMessageHandler = std::function<void(const std::string& message, TMessageKind kind)>;

// Shows a message to the user through the installed handler, and records it.
void ShowProgramMessage(const std::string& message, TMessageKind kind = mkInformation);
// Installs the handler (none: record only); returns the previous one.
TProgramMessageHandler SetProgramMessageHandler(TProgramMessageHandler handler);
// The messages shown so far; tests clear and inspect it.
std::vector<std::string>& ProgramMessages();
// The kind of the last message shown.
TMessageKind LastProgramMessageKind();
