#include "base/component.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

// Records every notification it receives, in order, into a shared log. Components are named
// by their component name, which is all that is left of a component being destroyed.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, const std::string& label, std::vector<std::string>* log)
        : TComponent(owner), log_(log) {
        SetName(label);
    }
    ~TProbe() override { log_->push_back("free " + Name()); }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        log_->push_back(Name() + (operation == opInsert ? " +" : " -") + component->Name());
        TComponent::Notification(component, operation);
    }

private:
    std::vector<std::string>* log_;
};

TEST(Component, OwnerListAndLookup) {
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Grid");
    b->SetName("Symbole");
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1), b);
    EXPECT_EQ(a->Owner(), &owner);
    EXPECT_EQ(owner.FindComponent("grid"), a);
    EXPECT_EQ(owner.FindComponent("SYMBOLE"), b);
    EXPECT_EQ(owner.FindComponent("none"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_THROW(owner.Components(2), EComponentError);
    delete a;  // leaves the owner's list
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.FindComponent("Grid"), nullptr);
}

TEST(Component, DuplicateSiblingNamesAreRefused) {
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Edit");
    try {
        b->SetName("EDIT");
        FAIL() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Id(), sid::DuplicateName);
        EXPECT_EQ(std::get<std::string>(e.Args().at(0)), "EDIT");
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("edit");  // renaming itself in another case is fine
    EXPECT_EQ(a->Name(), "edit");
    b->SetName("Other");
    TComponent lone;
    lone.SetName("Edit");  // no owner, nothing to clash with
    TComponent otherOwner;
    auto* c = new TComponent(&otherOwner);
    c->SetName("Edit");  // a different owner
    EXPECT_THROW(owner.InsertComponent(c), EComponentError);
    EXPECT_EQ(c->Owner(), &otherOwner);
}

TEST(Component, InsertMovesBetweenOwnersAndNotifies) {
    std::vector<std::string> log;
    TProbe first(nullptr, "first", &log);
    TProbe second(nullptr, "second", &log);
    auto* child = new TProbe(&first, "child", &log);
    second.InsertComponent(child);
    EXPECT_EQ(child->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    second.RemoveComponent(child);
    EXPECT_EQ(child->Owner(), nullptr);
    // The first insertion happens in the constructor, before the child has its name.
    EXPECT_EQ(log, (std::vector<std::string>{"first +", "first -child", "second +child", "second -child"}));
    delete child;
}

TEST(Component, DestructionNotifiesThenFreesOwnedLastFirst) {
    std::vector<std::string> log;
    auto* watcher = new TProbe(nullptr, "watcher", &log);
    {
        TProbe owner(nullptr, "owner", &log);
        new TProbe(&owner, "one", &log);
        new TProbe(&owner, "two", &log);
        watcher->FreeNotification(&owner);
        log.clear();
    }
    // The watcher hears of the owner first; then the owned ones go, last first.
    EXPECT_EQ(log, (std::vector<std::string>{"free owner", "watcher -owner", "free two", "free one"}));
    delete watcher;
}

TEST(Component, FreeNotificationIsMutualAndRemovable) {
    std::vector<std::string> log;
    auto* a = new TProbe(nullptr, "a", &log);
    auto* b = new TProbe(nullptr, "b", &log);
    auto* c = new TProbe(nullptr, "c", &log);
    a->FreeNotification(b);
    a->FreeNotification(b);  // asked twice, told once
    a->FreeNotification(c);
    a->RemoveFreeNotification(c);
    a->FreeNotification(a);  // itself: ignored
    delete b;
    EXPECT_EQ(log, (std::vector<std::string>{"free b", "a -b"}));
    log.clear();
    delete a;  // b is gone and c was removed: nobody is told
    EXPECT_EQ(log, (std::vector<std::string>{"free a"}));
    log.clear();
    auto* d = new TProbe(nullptr, "d", &log);
    c->FreeNotification(d);
    delete c;  // mutual: d, which c watched, hears of c
    EXPECT_EQ(log, (std::vector<std::string>{"free c", "d -c"}));
    delete d;
}

TEST(Component, OwnedComponentWatchingItsOwnerSurvivesTheOwnersDestruction) {
    std::vector<std::string> log;
    {
        TProbe owner(nullptr, "owner", &log);
        auto* child = new TProbe(&owner, "child", &log);
        child->FreeNotification(&owner);
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"free owner", "child -owner", "free child"}));
}

TEST(Component, LoadingFlagAndHooks) {
    TComponent c;
    EXPECT_FALSE(c.IsLoading());
    c.SetLoading(true);
    c.ReadStart(nullptr);
    c.ReadEnd(nullptr);
    EXPECT_TRUE(c.IsLoading());
    c.Loaded();
    EXPECT_FALSE(c.IsLoading());
    int children = 0;
    c.GetChildren([&](TComponent*) { ++children; });
    EXPECT_EQ(children, 0);
    c.SetTag(5);
    EXPECT_EQ(c.Tag(), 5);
    EXPECT_EQ(c.ClassName(), "TComponent");
    EXPECT_TRUE(c.InheritsFrom(TPersistent::StaticClass()));
}

}  // namespace
