#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/panels/vis_object.h"

using namespace controls;

namespace {

// Runs a script on an object with the change rules: C change, B begin update, E end update
// without notifying, N end update notifying. Returns how often OnChange fired.
template <typename T>
int ChangesAfter(T& object, const std::string& script) {
  int changes = 0;
  object.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &object);
    ++changes;
  };
  for (char op : script) {
    if (op == 'C') object.Change();
    if (op == 'B') object.BeginUpdate();
    if (op == 'E') object.EndUpdate(false);
    if (op == 'N') object.EndUpdate(true);
  }
  return changes;
}

const struct {
  const char* script;
  int changes;
} kUpdateCases[] = {
    {"C", 1},
    {"CC", 2},
    {"BCCE", 0},
    {"BCCN", 1},
    {"BN", 1},
    {"BCE C", 1},
    // The bracket is a flag, not a counter: the inner end already lets changes through.
    {"BBCECN", 2},
    {"BBECE", 1},
};

}  // namespace

TEST(ChangeNotification, UpdateBracketsOfSettingsObjectsAndComponents) {
  for (const auto& c : kUpdateCases) {
    SCOPED_TRACE(c.script);
    TVisObject settings;
    EXPECT_EQ(ChangesAfter(settings, c.script), c.changes);
    TVisCustomComponent component(nullptr);
    EXPECT_EQ(ChangesAfter(component, c.script), c.changes);
  }
}

TEST(ChangeNotification, InnerSettingsRippleOutToTheOwner) {
  TVisObject inner, outer;
  inner.OnChange = [&](TObject* sender) { outer.GetChange(sender); };
  std::vector<TObject*> senders;
  outer.OnChange = [&](TObject* sender) { senders.push_back(sender); };
  inner.Change();
  outer.BeginUpdate();
  inner.Change();
  outer.EndUpdate(true);
  EXPECT_EQ(senders, (std::vector<TObject*>{&outer, &outer}));
}

class Containers : public ::testing::Test {
 protected:
  // Records which link was told, with which sender, in order; the container's own OnChange as 0.
  void Watch(TVisChangeLink& link, int id) {
    link.OnChange = [this, id](TObject* sender) {
      EXPECT_EQ(sender, link_sender);
      calls.push_back(id);
    };
  }
  std::vector<int> calls;
  TObject* link_sender = nullptr;
};

TEST_F(Containers, LinksHearChangesInOrderBeforeTheContainer) {
  TVisBaseContainer list(nullptr);
  link_sender = &list;
  TVisChangeLink a, b;
  Watch(a, 1);
  Watch(b, 2);
  list.OnChange = [&](TObject*) { calls.push_back(0); };
  list.RegisterChanges(&a);
  list.RegisterChanges(&b);
  list.RegisterChanges(&a);  // already listed: no second entry
  list.Change();
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(a.Sender(), &list);
}

TEST_F(Containers, LinkFreedAfterRegisteringTwiceLeavesNothingBehind) {
  TVisBaseContainer list(nullptr);
  link_sender = &list;
  auto a = std::make_unique<TVisChangeLink>();
  TVisChangeLink b;
  Watch(*a, 1);
  Watch(b, 2);
  list.RegisterChanges(a.get());
  list.RegisterChanges(a.get());
  list.RegisterChanges(&b);
  a.reset();
  list.Change();  // would call the freed link if an entry were left
  EXPECT_EQ(calls, (std::vector<int>{2}));
  EXPECT_EQ(list.Clients().size(), 1u);
}

TEST_F(Containers, LinkMovesBetweenContainersAndOutlivesThem) {
  auto first = std::make_unique<TVisBaseContainer>(nullptr);
  TVisBaseContainer second(nullptr);
  TVisChangeLink link;
  Watch(link, 1);
  first->RegisterChanges(&link);
  second.RegisterChanges(&link);
  EXPECT_TRUE(first->Clients().empty());
  link_sender = &second;
  first->Change();
  second.Change();
  EXPECT_EQ(calls, (std::vector<int>{1}));

  second.UnRegisterChanges(&link);
  second.UnRegisterChanges(&link);  // not listed: nothing
  first->RegisterChanges(&link);
  first.reset();
  EXPECT_EQ(link.Sender(), nullptr);
}

TEST_F(Containers, HandlerFreeingLinksDuringAChange) {
  TVisBaseContainer list(nullptr);
  link_sender = &list;
  auto a = std::make_unique<TVisChangeLink>();
  auto b = std::make_unique<TVisChangeLink>();
  TVisChangeLink c;
  a->OnChange = [&](TObject*) {
    calls.push_back(1);
    b.reset();
    a.reset();
  };
  Watch(c, 3);
  list.RegisterChanges(a.get());
  list.RegisterChanges(b.get());
  list.RegisterChanges(&c);
  list.Change();
  EXPECT_EQ(calls, (std::vector<int>{1, 3}));
  EXPECT_EQ(list.Clients().size(), 1u);
}

TEST_F(Containers, ChangeWithNobodyListeningDoesNothing) {
  TVisBaseContainer list(nullptr);
  list.Change();
  TVisChangeLink loose;
  loose.Change();
  EXPECT_EQ(loose.Sender(), nullptr);
}
