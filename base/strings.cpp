#include "base/strings.h"

#include "base/cp1252.h"
#include "resources/builtin_strings.h"

namespace {

// A built-in table: the generated UTF-8 texts, converted to code page 1252 on loading.
class TBuiltinStringSource : public TStringSource {
public:
    explicit TBuiltinStringSource(TTextLanguage language) : language_(language) {}

    std::string Load(int id) const override {
        const char* text = BuiltinStringUtf8(language_, id);
        return text ? Utf8ToCp1252(text) : std::string();
    }

private:
    TTextLanguage language_;
};

const TStringSource* activeSource = nullptr;

}  // namespace

const TStringSource& BuiltinStrings(TBuiltinLanguage language) {
    static const TBuiltinStringSource german(tlGerman);
    static const TBuiltinStringSource english(tlEnglish);
    return language == blEnglish ? english : german;
}

const TStringSource* SetStringSource(const TStringSource* source) {
    const TStringSource* previous = &ActiveStringSource();
    activeSource = source;
    return previous;
}

const TStringSource& ActiveStringSource() {
    return activeSource ? *activeSource : BuiltinStrings(blGerman);
}

std::string LoadStr(int id) { return ActiveStringSource().Load(id); }
