#include "base/persistent.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        if (c == &other) return true;
    }
    return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TPropInfo*> props = Parent ? Parent->AllProps() : std::vector<const TPropInfo*>();
    for (const TPropInfo& p : Props) props.push_back(&p);
    return props;
}

// The class's own rows are searched before its base's, so a class may shadow a base property.
const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        for (const TPropInfo& p : c->Props) {
            if (SameText(p.Name, name)) return &p;
        }
    }
    return nullptr;
}

const TClassInfo& TPersistent::StaticClass() {
    static const TClassInfo info{"TPersistent", nullptr, {}, {}};
    return info;
}

void TPersistent::Assign(TPersistent* source) {
    if (!source) throw EConvertError(sid::NodeCannotAssign, {std::string("nil"), ClassName()});
    source->AssignTo(this);
}

// Raises directly rather than calling Assign, so that the two never call each other in a loop.
void TPersistent::AssignTo(TPersistent* dest) {
    throw EConvertError(sid::NodeCannotAssign, {ClassName(), dest ? dest->ClassName() : std::string("nil")});
}
