// The component base: an object with an owner, the components it owns, a name, and free
// notification. Components take part in component streaming through the hooks below.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "persistent.h"

class TComponent;
class TComponentWriter;
class TComponentReader;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    // Inserts the new component into Owner's list; Owner frees it when freed itself.
    explicit TComponent(TComponent* owner = nullptr);
    // Tells every component on the free-notification list (Notification with opRemove), then
    // frees the owned components (last first), then leaves the owner's list.
    ~TComponent() override;
    // Destroys the component, telling the components that asked for free notification while
    // it is still whole (their Notification may still call into it). Owners free their
    // components this way; prefer it to delete for components that others follow.
    void Free();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // A name another component of the same owner already uses (in any letter case) raises
    // EComponentError (DuplicateName).
    void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // Case-insensitive name lookup among the owned components; null when absent.
    TComponent* FindComponent(const std::string& name) const;
    // Takes Component over from its previous owner; raises EComponentError when its name
    // clashes with one of the owned components.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    // Asks to be told (Notification with opRemove) when Component is destroyed; mutual.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);
    bool Destroying() const { return destroying_; }

    // Streaming hooks. WriteState writes this component's record body (properties, then
    // children); the default writes the published properties and the children that
    // GetChildren hands out.
    virtual void WriteState(TComponentWriter& writer);
    virtual void GetChildren(const std::function<void(TComponent*)>& proc);
    // Called by the reader when the record of this component starts (Parent is the component of
    // the enclosing record, or null), when it ends, and once after the whole stream was read.
    virtual void ReadStart(TComponent* parent);
    virtual void ReadEnd(TComponent* parent);
    virtual void Loaded();
    bool IsLoading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

protected:
    // Told of insertions into and removals from the owned list, and of the destruction of a
    // component on the free-notification list. The default drops Component from that list on
    // opRemove; it does not pass notifications on to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    bool destroying_ = false;
    bool loading_ = false;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;

    void TellDestruction();
};
