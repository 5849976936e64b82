#include "base/component.h"

#include <algorithm>

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"

namespace {

void Erase(std::vector<TComponent*>& list, TComponent* component) {
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

bool Contains(const std::vector<TComponent*>& list, const TComponent* component) {
    return std::find(list.begin(), list.end(), component) != list.end();
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

// The components that asked are told while this one is still whole, when it is destroyed
// through Free; a plain delete tells them from here, when only the TComponent part is left.
void TComponent::Free() {
    TellDestruction();
    delete this;
}

void TComponent::TellDestruction() {
    if (destroying_) return;
    destroying_ = true;
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        Erase(other->freeNotifies_, this);
        other->Notification(this, opRemove);
    }
}

// Order: the components that asked are told first (while this component's owned list is still
// intact), then the owned components are freed, last first, then the owner lets go.
TComponent::~TComponent() {
    TellDestruction();
    while (!components_.empty()) {
        TComponent* child = components_.back();
        components_.pop_back();
        child->owner_ = nullptr;
        child->Free();
    }
    if (owner_) owner_->RemoveComponent(this);
}

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info{"TComponent", &TPersistent::StaticClass(), {}, {}};
    return info;
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (owner_ && !name.empty()) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this) throw EComponentError(sid::DuplicateName, {name});
    }
    name_ = name;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) throw EComponentError(sid::ListIndexError, {int64_t{index}});
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (SameText(c->name_, name)) return c;
    }
    return nullptr;
}

// A named component moving in must not clash with a name already used among the owned ones.
void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    TComponent* clash = FindComponent(component->name_);
    if (clash) throw EComponentError(sid::DuplicateName, {component->name_});
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->owner_ != this) return;
    Notification(component, opRemove);
    Erase(components_, component);
    component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (!Contains(freeNotifies_, component)) freeNotifies_.push_back(component);
    if (!Contains(component->freeNotifies_, this)) component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    Erase(freeNotifies_, component);
    Erase(component->freeNotifies_, this);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc) {}

void TComponent::ReadStart(TComponent* parent) {}

void TComponent::ReadEnd(TComponent* parent) {}

void TComponent::Loaded() { loading_ = false; }

// A component that goes away no longer needs to be told of anything.
void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
}
