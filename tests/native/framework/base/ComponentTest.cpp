// Components: ownership and destruction order, free notifications both ways, the component
// state during loading and destruction, names, class information and the class registry.
#include "framework/base/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what happens to it in a log shared by the test.
class TLogged : public TComponent {
  ORBEX_CLASS(TLogged, TComponent)
public:
  TLogged(TComponent* owner, std::string tag, std::vector<std::string>* log)
      : TComponent(owner), FTagText(std::move(tag)), FLog(log) {}
  ~TLogged() override {
    // An owner marks everything it owns destroying before the first one goes (and takes it
    // off its list first, so Owner() is already null here).
    FLog->push_back("free " + FTagText + (IsDestroying() ? " destroying" : " NOT-destroying") +
                    (Owner() != nullptr ? " still-owned" : ""));
  }
  void Loaded() override {
    bool wasLoading = IsLoading();
    TComponent::Loaded();
    FLog->push_back("loaded " + FTagText + (wasLoading && !IsLoading() ? "" : " BAD-STATE"));
  }
  TComponent* Ref = nullptr;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == Ref) {
      FLog->push_back(FTagText + " lost ref");
      Ref = nullptr;
    }
  }

private:
  std::string FTagText;
  std::vector<std::string>* FLog;
};

}  // namespace

ORBEX_IMPLEMENT_CLASS(TLogged, TComponent, nullptr)

TEST(Component, OwnerFreesOwnedLastInsertedFirstWithStateDestroying) {
  std::vector<std::string> log;
  auto* owner = new TLogged(nullptr, "owner", &log);
  auto* a = new TLogged(owner, "a", &log);
  auto* b = new TLogged(owner, "b", &log);
  new TLogged(b, "b1", &log);
  auto* c = new TLogged(owner, "c", &log);
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(c->ComponentIndex(), 2);
  EXPECT_EQ(b->ComponentCount(), 1);
  delete owner;
  std::vector<std::string> expected = {
      // ~TLogged of the owner runs first (derived destructor), then ~TComponent frees the rest.
      "free owner NOT-destroying",
      "free c destroying",
      "free b destroying",
      "free b1 destroying",
      "free a destroying",
  };
  EXPECT_EQ(log, expected);
}

TEST(Component, FreeingOwnedComponentRemovesItFromOwner) {
  std::vector<std::string> log;
  TLogged owner(nullptr, "owner", &log);
  auto* a = new TLogged(&owner, "a", &log);
  auto* b = new TLogged(&owner, "b", &log);
  delete a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  EXPECT_EQ(log, std::vector<std::string>{"free a NOT-destroying still-owned"});
}

TEST(Component, FreeNotificationWorksBothWays) {
  std::vector<std::string> log;
  auto* x = new TLogged(nullptr, "x", &log);
  auto* y = new TLogged(nullptr, "y", &log);
  x->Ref = y;
  y->Ref = x;
  x->FreeNotification(y);   // x learns when y goes, and y when x goes
  delete y;
  EXPECT_EQ(x->Ref, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"free y NOT-destroying", "x lost ref"}));
  log.clear();

  // The other direction, after re-linking with a new partner.
  auto* z = new TLogged(nullptr, "z", &log);
  z->Ref = x;
  x->Ref = z;
  z->FreeNotification(x);
  delete x;
  EXPECT_EQ(z->Ref, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"free x NOT-destroying", "z lost ref"}));
  delete z;
}

TEST(Component, RemoveFreeNotificationStopsTheNotice) {
  std::vector<std::string> log;
  auto* x = new TLogged(nullptr, "x", &log);
  auto* y = new TLogged(nullptr, "y", &log);
  x->Ref = y;
  x->FreeNotification(y);
  x->RemoveFreeNotification(y);
  delete y;
  EXPECT_EQ(x->Ref, y);   // no notice arrived (the pointer is stale, never used)
  delete x;
}

TEST(Component, SiblingsHearOfARemovedSiblingThroughTheOwner) {
  // A form's control that refers to a popup menu of the same form learns that it went away,
  // without asking for a free notification.
  std::vector<std::string> log;
  TLogged form(nullptr, "form", &log);
  auto* button = new TLogged(&form, "button", &log);
  auto* menu = new TLogged(&form, "menu", &log);
  button->Ref = menu;
  delete menu;
  EXPECT_EQ(button->Ref, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"free menu NOT-destroying still-owned", "button lost ref"}));
}

TEST(Component, DestroyComponentsEarlyLeavesTheOwnerUsable) {
  std::vector<std::string> log;
  TLogged owner(nullptr, "owner", &log);
  new TLogged(&owner, "a", &log);
  owner.DestroyComponents();
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(log, std::vector<std::string>{"free a NOT-destroying"});
}

TEST(Component, LoadingStateAndLoadedInCreationOrder) {
  std::vector<std::string> log;
  TLogged form(nullptr, "form", &log);
  auto* a = new TLogged(&form, "a", &log);
  auto* b = new TLogged(&form, "b", &log);
  for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(a), static_cast<TComponent*>(b)})
    c->SetLoading(true);
  EXPECT_TRUE(a->IsLoading());
  EXPECT_NE(a->ComponentState() & csReading, 0u);
  // As the form reader does: Loaded for each read component in creation order.
  for (int i = 0; i < form.ComponentCount(); ++i) form.Components(i)->Loaded();
  form.Loaded();
  EXPECT_EQ(log, (std::vector<std::string>{"loaded a", "loaded b", "loaded form"}));
  EXPECT_EQ(form.ComponentState() & (csLoading | csReading), 0u);
  b->SetLoading(true);
  b->SetLoading(false);
  EXPECT_FALSE(b->IsLoading());
}

TEST(Component, NamesAreUniquePerOwnerIgnoringCaseAndMustBeIdentifiers) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Button1");
  auto* b = new TComponent(&owner);
  EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  try {
    b->SetName("button1");
    FAIL() << "duplicate name accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named button1 already exists");
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("BUTTON1");   // changing only the case of its own name is fine
  EXPECT_EQ(a->Name(), "BUTTON1");
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("_b2");
  EXPECT_EQ(owner.FindComponent("_B2"), b);

  // Moving a component to an owner that already has its name fails and leaves it where it was.
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  c->SetName("Button1");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
  c->SetName("Button2");
  owner.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(other.ComponentCount(), 0);
  EXPECT_EQ(owner.ComponentCount(), 3);
}

TEST(Component, TagAndClassInformation) {
  TComponent c(nullptr);
  c.SetTag(-98);
  EXPECT_EQ(c.Tag(), -98);
  EXPECT_STREQ(c.ClassName(), "TComponent");
  EXPECT_TRUE(c.InheritsFrom(&TPersistent::StaticClassInfo()));
  EXPECT_TRUE(c.InheritsFrom("tpersistent"));
  EXPECT_FALSE(c.InheritsFrom(&TStrings::StaticClassInfo()));
  EXPECT_EQ(As<TPersistent>(&c), &c);
  EXPECT_EQ(As<TStrings>(&c), nullptr);
  EXPECT_EQ(As<TComponent>(static_cast<TObject*>(nullptr)), nullptr);
  std::vector<std::string> log;
  TLogged l(nullptr, "l", &log);
  EXPECT_STREQ(l.ClassName(), "TLogged");
  EXPECT_EQ(l.ClassInfo()->Parent, &TComponent::StaticClassInfo());
}

TEST(Component, RegistryCreatesByNameAndRefusesAnotherClassOfTheSameName) {
  RegisterClassOf<TComponent>();
  RegisterClassOf<TComponent>();   // again: nothing happens
  const TClassInfo* info = FindClassInfo("tcomponent");
  ASSERT_EQ(info, &TComponent::StaticClassInfo());
  EXPECT_EQ(FindClassInfo("TNoSuchClass"), nullptr);
  TComponent owner(nullptr);
  TObject* made = info->Create(&owner);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);

  static TClassInfo impostor{"TComponent", &TPersistent::StaticClassInfo(), nullptr, {}};
  try {
    RegisterClassInfo(&impostor);
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A class named TComponent is already registered");
  }
}

// Counts its AfterConstruction calls, and can refuse to be made there.
class TAfterMade : public TComponent {
  ORBEX_CLASS(TAfterMade, TComponent)
public:
  using TComponent::TComponent;
  void AfterConstruction() override {
    ++Calls;
    if (Refuse) throw EComponentError("refused");
  }
  static inline int Calls = 0;
  static inline bool Refuse = false;
};
ORBEX_IMPLEMENT_CLASS(TAfterMade, TComponent, &CreateComponentOf<TAfterMade>)

TEST(Component, MakersRunAfterConstructionOnceTheObjectIsWhole) {
  TComponent owner(nullptr);
  TAfterMade::Calls = 0;
  TObject* byFactory = TAfterMade::StaticClassInfo().Create(&owner);
  EXPECT_EQ(TAfterMade::Calls, 1);
  EXPECT_EQ(static_cast<TComponent*>(byFactory)->Owner(), &owner);
  NewComponent<TAfterMade>(&owner);
  EXPECT_EQ(TAfterMade::Calls, 2);
  // A refusal frees the half-made component: the owner does not keep it.
  TAfterMade::Refuse = true;
  EXPECT_THROW(NewComponent<TAfterMade>(&owner), EComponentError);
  TAfterMade::Refuse = false;
  EXPECT_EQ(owner.ComponentCount(), 2);
}

TEST(Persistent, AssignOfUnrelatedClassesNamesBoth) {
  TStringList list;
  TComponent c(nullptr);
  try {
    list.Assign(&c);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TStringList");
  }
  try {
    list.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TStringList");
  }
}

// ---------------------------------------------------------------------------------------------
// Collections

namespace {
class TBand : public TCollectionItem {
  ORBEX_CLASS(TBand, TCollectionItem)
public:
  explicit TBand(TCollection* c) : TCollectionItem(c) {}
  int Width = 0;
  void Assign(TPersistent* source) override {
    if (auto* b = As<TBand>(source)) {
      Width = b->Width;
      return;
    }
    TCollectionItem::Assign(source);
  }
  void Touch() { Changed(false); }
};
}  // namespace

ORBEX_IMPLEMENT_CLASS(TBand, TCollectionItem, nullptr)

TEST(Collection, AddInsertMoveDeleteAndUpdates) {
  TCollection bands(&TBand::StaticClassInfo(), [](TCollection* c) { return new TBand(c); });
  std::vector<TCollectionItem*> updates;
  bands.OnUpdate = [&](TCollectionItem* i) { updates.push_back(i); };
  auto* a = static_cast<TBand*>(bands.Add());
  auto* b = static_cast<TBand*>(bands.Add());
  auto* c = static_cast<TBand*>(bands.Insert(0));
  ASSERT_EQ(bands.Count(), 3);
  EXPECT_EQ(bands.Items(0), c);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(b->ID(), 1);
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(a->Collection(), &bands);
  updates.clear();
  b->Touch();
  EXPECT_EQ(updates, std::vector<TCollectionItem*>{b});
  a->SetIndex(99);   // clamped to the end
  EXPECT_EQ(a->Index(), 2);
  bands.Delete(0);
  EXPECT_EQ(bands.Count(), 2);
  EXPECT_EQ(bands.Items(0), b);
  EXPECT_THROW(bands.Delete(2), EListError);
  delete b;   // an item freed directly leaves its collection
  EXPECT_EQ(bands.Count(), 1);

  bands.BeginUpdate();
  updates.clear();
  bands.Add();
  bands.Add();
  EXPECT_TRUE(updates.empty());
  bands.EndUpdate();
  EXPECT_EQ(updates, std::vector<TCollectionItem*>{nullptr});

  a->Width = 7;
  TCollection copy(&TBand::StaticClassInfo(), [](TCollection* col) { return new TBand(col); });
  copy.Assign(&bands);
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(static_cast<TBand*>(copy.Items(0))->Width, 7);
  EXPECT_STREQ(copy.Items(1)->ClassName(), "TBand");
  EXPECT_EQ(copy.Items(0)->DisplayName(), "TBand");
}
