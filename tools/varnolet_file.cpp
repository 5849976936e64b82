// varnolet-file: shows a node stream file (.STD, .CFG, .CAL, or any file written by
// SaveToFile) as text. Both commands read the raw records and create no nodes, so they work for
// files whose node classes this tool does not know.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/component_reader.h"
#include "base/cp1252.h"
#include "base/exception.h"
#include "base/format.h"
#include "base/safe_file.h"
#include "base/stream.h"
#include "base/text_form.h"
#include "config/config_node.h"
#include "nodes/node_registry.h"
#include "nodes/node_stream.h"
#include "pictures/bmp_image.h"
#include "pictures/picture_export.h"
#include "tools/quick_text_tool.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitDamaged = 1;
constexpr int ExitUsage = 2;
constexpr int ExitMissing = 3;

const char* const UsageText =
    "usage: varnolet-file COMMAND FILE [PATH]\n"
    "\n"
    "Shows a Varnolet node stream file (.STD, .CFG, .CAL) as text.\n"
    "\n"
    "commands:\n"
    "  dump FILE       print the file's component stream in the textual form\n"
    "  outline FILE    print one line per node (class name and text), two spaces per level\n"
    "  export FILE DIR write every entry of a quick-text file (.STD) as an RTF file into DIR,\n"
    "                  groups as folders\n"
    "  import DIR FILE build a quick-text file from a folder tree of RTF and TXT files\n"
    "  get FILE PATH   print one setting of a configuration file; PATH is below \"Standard\\\",\n"
    "                  e.g. TApplication\\VarnoletWin\\Left (exit 3 when it is missing)\n"
    "  pictures FILE   list the entries of a picture list file (.PIL): ID, resource ID,\n"
    "                  options, class and size\n"
    "  pictures FILE --extract DIR\n"
    "                  write every picture of a picture list file into DIR as a file\n"
    "                  (.bmp, .ico, .cur, .wmf, .emf)\n"
    "  to-bmp IMAGE OUT.BMP\n"
    "                  convert a GIF, PCX, RLE or DIB file into a BMP file\n"
    "  --help          print this text\n"
    "\n"
    "Files are written completely under a temporary name first and then renamed; a file that\n"
    "cannot be written leaves the previous one as it was.\n"
    "\n"
    "exit codes: 0 done, 1 damaged or unreadable file, or a write that failed (output included),\n"
    "2 usage error, 3 setting missing\n";

// One line per node, written when the node's properties are complete (at its first child
// record or at its end). Class names come from the stream's class list and the record's NI.
class TOutlineWriter : public TComponentStreamHandler {
public:
    const std::string& Text() const { return out_; }

    void BeginObject(const std::string& className, const std::string& name) override {
        if (!records_.empty()) Flush(records_.back());
        TRecord record;
        record.RecordClass = className;
        records_.push_back(record);
    }
    void EndObject() override {
        Flush(records_.back());
        records_.pop_back();
    }
    void BeginProperty(const std::string& name) override {
        property_ = name;
        lines_.clear();
    }
    void Value(const TStreamScalar& value) override {
        TRecord& record = records_.back();
        if (SameText(property_, "NI") && value.Type >= vaInt8 && value.Type <= vaInt32)
            record.Index = value.Integer;
        else if (SameText(property_, "_.Text") && IsText(value.Type))
            record.Text = value.Text;
        else if (SameText(property_, "_.Bitmap") && value.Type >= vaInt8 && value.Type <= vaInt32)
            record.Symbol = value.Integer;
        else if (SameText(property_, "_.Data") && value.Type == vaBinary && value.Text.size() >= 4)
            record.DataSize = static_cast<int64_t>(value.Text.size()) - 4;
        else if (SameText(property_, "NodeList.Strings") && IsText(value.Type))
            lines_.push_back(value.Text);
    }
    void BeginList() override {}
    void EndList() override {
        if (SameText(property_, "NodeList.Strings") && records_.size() == 1) classList_ = lines_;
    }
    void EndProperty() override {}

private:
    struct TRecord {
        std::string RecordClass;
        int Index = 0;
        std::string Text;
        bool Written = false;
        std::optional<int> Symbol;
        int64_t DataSize = -1;
    };

    static bool IsText(TValueType type) { return type == vaString || type == vaLString || type == vaIdent; }

    std::string ClassName(const TRecord& record) const {
        if (!SameText(record.RecordClass, "TNodeObject")) return record.RecordClass;
        if (classList_.empty()) return "TNode";
        if (record.Index < 0 || record.Index >= static_cast<int>(classList_.size())) return "?";
        return classList_[static_cast<size_t>(record.Index)];
    }

    void Flush(TRecord& record) {
        if (record.Written) return;
        record.Written = true;
        out_.append((records_.size() - 1) * 2, ' ');
        out_ += ClassName(record);
        if (!record.Text.empty()) out_ += ": " + record.Text;
        std::vector<std::string> details;
        if (record.Symbol) details.push_back("symbol " + std::to_string(*record.Symbol));
        if (record.DataSize >= 0) details.push_back(std::to_string(record.DataSize) + " bytes of text");
        for (size_t i = 0; i < details.size(); ++i) out_ += (i == 0 ? " [" : ", ") + details[i];
        if (!details.empty()) out_ += "]";
        out_ += '\n';
    }

    std::vector<TRecord> records_;
    std::vector<std::string> classList_;
    std::vector<std::string> lines_;
    std::string property_;
    std::string out_;
};

// The textual form with plain line ends, as a terminal expects them.
std::string WithNewlines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

std::string Dump(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    SkipResourceHeader(file);
    return WithNewlines(ComponentStreamToText(file));
}

std::string Outline(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    SkipResourceHeader(file);
    TOutlineWriter writer;
    TComponentParser parser(file);
    parser.Parse(writer);
    return writer.Text();
}

// The value of one setting: the last segment of Path names the value, the rest the nodes
// below "Standard". False when a node or the value is missing.
bool GetSetting(const std::string& fileName, const std::string& path, std::string& value) {
    RegisterNodeClasses({&TConfigNode::StaticClass(), &TConfigRootNode::StaticClass()});
    std::unique_ptr<TNode> root(LoadFromFile(fileName));
    const size_t sep = path.rfind('\\');
    const std::string nodePath = sep == std::string::npos ? std::string() : path.substr(0, sep);
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    TNode* standard = nullptr;
    for (int i = 0; i < root->ChildCount() && !standard; ++i)
        if (SameText(root->Child(i)->Text(), "Standard")) standard = root->Child(i);
    TNode* node = standard ? (nodePath.empty() ? standard : standard->FindPath(nodePath, false)) : nullptr;
    if (!node || name.empty()) return false;
    const int index = node->IndexOfName(name);
    if (index < 0) return false;
    const std::string& line = node->Values().Strings(index);
    value = line.substr(line.find('=') + 1);
    return true;
}

int Get(const std::string& fileName, const std::string& path) {
    std::string value;
    if (!GetSetting(fileName, Utf8ToCp1252(path), value)) {
        std::cerr << fileName << ": no setting " << path << "\n";
        return ExitMissing;
    }
    std::cout << Cp1252ToUtf8(value) << "\n";
    return ExitOk;
}

int Usage(const std::string& problem) {
    std::cerr << "varnolet-file: " << problem << "\n\n" << UsageText;
    return ExitUsage;
}

// "pictures FILE [--extract DIR]" and "to-bmp IMAGE OUT.BMP".
int PictureCommand(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    const bool list = command == "pictures" && args.size() == 2;
    const bool extract = command == "pictures" && args.size() == 4 && args[2] == "--extract";
    const bool convert = command == "to-bmp" && args.size() == 3;
    if (!list && !extract && !convert)
        return Usage(command == "to-bmp" ? "'to-bmp' takes an image file and a BMP file name"
                                         : "'pictures' takes a file name, then optionally --extract DIR");
    const std::string& fileName = args[1];
    try {
        if (list) {
            std::cout << Cp1252ToUtf8(ListPictureFile(fileName));
        } else if (extract) {
            std::error_code error;
            std::filesystem::create_directories(args[3], error);
            std::cout << ExtractPictures(fileName, args[3]) << " files written\n";
        } else {
            const std::vector<uint8_t> bmp = ImageFileToBmp(fileName);
            const TBmpInfo info = CheckBmpFile(bmp);
            SaveFileSafely(args[2], [&bmp](TStream& out) { out.WriteBuffer(bmp.data(), bmp.size()); });
            std::cout << args[2] << ": " << info.Width << "x" << info.Height << ", " << info.BitCount << " bits\n";
        }
        return ExitOk;
    } catch (const Exception& e) {
        std::cerr << fileName << ": " << Cp1252ToUtf8(e.Message()) << "\n";
    } catch (const std::exception& e) {
        std::cerr << fileName << ": " << e.what() << "\n";
    }
    return ExitDamaged;
}

// The output reached its file: a full disk or a closed pipe behind standard output is a
// failure, however many of the command's files were written.
bool OutputWritten() {
    std::cout.flush();
    return std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << UsageText;
        return ExitOk;
    }
    if (args.empty()) return Usage("no command given");
    const std::string& command = args[0];
    if (command == "pictures" || command == "to-bmp") return PictureCommand(args);
    const bool twoArguments = command == "get" || command == "export" || command == "import";
    if (command != "dump" && command != "outline" && !twoArguments)
        return Usage("unknown command '" + command + "'");
    if (twoArguments && args.size() != 3) return Usage("'" + command + "' takes two arguments");
    if (!twoArguments && args.size() != 2) return Usage("'" + command + "' takes one file name");
    const std::string& fileName = args[1];
    try {
        if (command == "get") return Get(fileName, args[2]);
        if (command == "export") {
            std::cout << ExportQuickText(fileName, args[2]) << " files written\n";
            return ExitOk;
        }
        if (command == "import") {
            std::cout << ImportQuickText(fileName, args[2]) << " entries imported\n";
            return ExitOk;
        }
        const std::string text = command == "dump" ? Dump(fileName) : Outline(fileName);
        std::cout << Cp1252ToUtf8(text);
        return ExitOk;
    } catch (const Exception& e) {
        std::cerr << fileName << ": " << Cp1252ToUtf8(e.Message()) << "\n";
    } catch (const std::exception& e) {
        std::cerr << fileName << ": " << e.what() << "\n";
    }
    return ExitDamaged;
}

}  // namespace

int main(int argc, char** argv) {
    const int result = Run(std::vector<std::string>(argv + 1, argv + argc));
    if (!OutputWritten()) {
        std::cerr << "varnolet-file: cannot write the output: " << std::strerror(errno) << "\n";
        return result == ExitOk ? ExitDamaged : result;
    }
    return result;
}
