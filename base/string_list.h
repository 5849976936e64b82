// An ordered list of text lines, each with an untyped object slot, with "name=value" access
// and a change event. Node values, class lists and configuration texts use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "persistent.h"

class TStringList : public TPersistent {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    int Count() const { return static_cast<int>(items_.size()); }
    // Index out of range raises EStringListError (ListIndexError).
    const std::string& Strings(int index) const;
    void SetStrings(int index, const std::string& text);
    void* Objects(int index) const;
    void SetObjects(int index, void* object);

    int Add(const std::string& text);
    int AddObject(const std::string& text, void* object);
    void Insert(int index, const std::string& text);
    void InsertObject(int index, const std::string& text, void* object);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);
    int IndexOf(const std::string& text) const;  // case-insensitive, -1 when absent
    int IndexOfObject(const void* object) const;

    // "name=value" access: the name is the part before the first "=", compared trimmed and
    // case-insensitively. Setting an empty value deletes the line.
    int IndexOfName(const std::string& name) const;
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    std::string Values(const std::string& name) const;
    void SetValues(const std::string& name, const std::string& value);

    // All lines joined by CR LF (each line ended); setting splits at CR LF, LF or CR.
    std::string Text() const;
    void SetText(const std::string& text);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);

    // Brackets a series of changes so that OnChange fires once at the end.
    void BeginUpdate();
    void EndUpdate();

    void Assign(TPersistent* source) override;

    // Called after every change (outside an update bracket).
    std::function<void(TStringList& sender)> OnChange;

private:
    struct Item {
        std::string text;
        void* object = nullptr;
    };
    void Changed();
    void CheckIndex(int index) const;

    std::vector<Item> items_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};
