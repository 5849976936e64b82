#include "editor/line_text.h"

std::string StripLineEnd(const std::string& line) {
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return line.substr(0, line.size() - 2);
    if (!line.empty() && (line.back() == '\r' || line.back() == '\n')) return line.substr(0, line.size() - 1);
    return line;
}

std::string LineInsertText(const std::string& line, bool afterLastLine) {
    std::string text = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return afterLastLine ? "\r\n" + text : text + "\r\n";
}

int ControlTextLength(const std::string& text, bool breakIsOnePosition) {
    if (!breakIsOnePosition) return static_cast<int>(text.size());
    int length = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++length;
    }
    return length;
}

int VisibleLineCount(int controlLineCount, bool lastLineEmpty) {
    if (controlLineCount > 0 && lastLineEmpty) return controlLineCount - 1;
    return controlLineCount;
}
