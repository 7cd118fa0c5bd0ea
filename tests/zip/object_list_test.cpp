#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/exceptions.h"
#include "tests/zip/archive_fixtures.h"
#include "zip/object_list.h"

using namespace zip;

namespace {

// Counts the living instances, so the tests see what a list frees.
struct Probe {
  explicit Probe(int key = 0, int tag = 0) : key(key), tag(tag) { ++alive; }
  ~Probe() { --alive; }
  int key;
  int tag;
  static int alive;
};
int Probe::alive = 0;

class ProbesByKey : public TSortedObjectList<Probe> {
 public:
  using TSortedObjectList::TSortedObjectList;
  int Compare(const Probe& item, const Probe& key) const override { return item.key - key.key; }
};

std::string ListErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const classlib::EListError& e) {
    return e.what();
  }
  return "(nothing raised)";
}

std::vector<int> Tags(const TObjectList<Probe>& list) {
  std::vector<int> tags;
  for (int i = 0; i < list.Count(); ++i) tags.push_back(list.Items(i)->tag);
  return tags;
}

class ObjectListTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(Probe::alive, 0); }
};

}  // namespace

TEST_F(ObjectListTest, AddsInsertsReplacesAndFinds) {
  TObjectList<Probe> list;
  Probe* first = new Probe(0, 1);
  EXPECT_EQ(list.Add(first), 0);
  EXPECT_EQ(list.Add(new Probe(0, 3)), 1);
  list.Insert(1, new Probe(0, 2));
  list.Insert(3, new Probe(0, 4));  // at Count: append
  EXPECT_EQ(Tags(list), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(list.First(), first);
  EXPECT_EQ(list.Last()->tag, 4);
  EXPECT_EQ(list.IndexOf(list.Items(2)), 2);
  Probe stranger;
  EXPECT_EQ(list.IndexOf(&stranger), -1);

  list.Put(0, new Probe(0, 9));  // the replaced item is freed
  EXPECT_EQ(Tags(list), (std::vector<int>{9, 2, 3, 4}));
  EXPECT_EQ(Probe::alive, 5);
  list.Put(0, list.Items(0));  // putting an item over itself keeps it
  EXPECT_EQ(list.Items(0)->tag, 9);
}

TEST_F(ObjectListTest, GrowsInSteps) {
  TObjectList<Probe> list(false);
  Probe item;
  std::vector<int> capacities;
  for (int i = 0; i < 40; ++i) {
    list.Add(&item);
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 16, 32, 48}));
  list.SetCapacity(40);
  EXPECT_EQ(list.Capacity(), 40);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST_F(ObjectListTest, BadIndexesRaiseAndLeaveTheListAlone) {
  TObjectList<Probe> list;
  list.Add(new Probe(0, 1));
  list.Add(new Probe(0, 2));
  Probe outsider;
  TObjectList<Probe> empty;
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  };
  const Case cases[] = {
      {"item -1", [&] { list.Items(-1); }, "Listenindex überschreitet das Maximum (-1)"},
      {"item at count", [&] { list.Items(2); }, "Listenindex überschreitet das Maximum (2)"},
      {"insert past count", [&] { list.Insert(3, &outsider); }, "Listenindex überschreitet das Maximum (3)"},
      {"insert at -1", [&] { list.Insert(-1, &outsider); }, "Listenindex überschreitet das Maximum (-1)"},
      {"put at count", [&] { list.Put(2, &outsider); }, "Listenindex überschreitet das Maximum (2)"},
      {"first of empty", [&] { empty.First(); }, "Listenindex überschreitet das Maximum (0)"},
      {"last of empty", [&] { empty.Last(); }, "Listenindex überschreitet das Maximum (-1)"},
      {"capacity below count", [&] { list.SetCapacity(1); }, "Listenindex überschreitet das Maximum (1)"},
      {"capacity over the limit", [&] { list.SetCapacity(kMaxListSize + 1); },
       "Listenindex überschreitet das Maximum (536870911)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListErrorOf(c.action), c.message) << c.what;
    EXPECT_EQ(Tags(list), (std::vector<int>{1, 2})) << c.what;
  }
}

TEST_F(ObjectListTest, OwningListFreesItsItemsAndAReferringListNever) {
  Probe kept(0, 7);
  {
    TObjectList<Probe> owning;
    owning.Add(new Probe);
    owning.Add(new Probe);
    owning.Clear();
    EXPECT_EQ(Probe::alive, 1);
    owning.Add(new Probe);
    TObjectList<Probe> referring(false);
    referring.Add(&kept);
    referring.Put(0, owning.First());
    referring.Clear();
  }  // the owning list frees its last item when it dies
  EXPECT_EQ(Probe::alive, 1);
  EXPECT_EQ(kept.tag, 7);
}

TEST_F(ObjectListTest, NeighbourWalksBothWaysAndStopsAtTheEnds) {
  TObjectList<Probe> list;
  for (int tag = 1; tag <= 3; ++tag) list.Add(new Probe(0, tag));
  Probe* const a = list.Items(0);
  Probe* const b = list.Items(1);
  Probe* const c = list.Items(2);
  EXPECT_EQ(list.Neighbour(nullptr, true), a);
  EXPECT_EQ(list.Neighbour(nullptr, false), c);
  EXPECT_EQ(list.Neighbour(a, true), b);
  EXPECT_EQ(list.Neighbour(b, false), a);
  EXPECT_EQ(list.Neighbour(c, true), nullptr);
  EXPECT_EQ(list.Neighbour(a, false), nullptr);
  Probe stranger;
  EXPECT_EQ(ListErrorOf([&] { list.Neighbour(&stranger, true); }), "tObject Probe not in item list");
}

TEST_F(ObjectListTest, SortedListKeepsOrderWhateverTheIndex) {
  ProbesByKey list(TDuplicates::Error);
  for (int key : {5, 1, 9, 3}) list.Add(new Probe(key, key));
  list.Insert(0, new Probe(7, 7));  // the index is not the position
  EXPECT_EQ(Tags(list), (std::vector<int>{1, 3, 5, 7, 9}));
  int index = -1;
  Probe probe(6);
  EXPECT_FALSE(list.Find(probe, index));
  EXPECT_EQ(index, 3);
  probe.key = 9;
  EXPECT_TRUE(list.Find(probe, index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(ListErrorOf([&] { list.Put(0, &probe); }), "Cannot <Put> an Object in a sorted list!");
  EXPECT_EQ(list.Items(0)->tag, 1);
}

TEST_F(ObjectListTest, EqualKeysFollowTheDuplicatesMode) {
  struct Case {
    TDuplicates mode;
    std::vector<std::string> outcomes;  // of adding keys 1, 2, 2, 2, 3 (tags 1 to 5)
    std::vector<int> tags;
  };
  const std::string dup = "Duplicate Object index";
  const Case cases[] = {
      {TDuplicates::Ignore, {"in", "in", "left out", "left out", "in"}, {1, 2, 5}},
      {TDuplicates::Accept, {"in", "in", "in", "in", "in"}, {1, 4, 3, 2, 5}},  // in front of its equals
      {TDuplicates::Error, {"in", "in", dup, dup, "in"}, {1, 2, 5}},
  };
  const int keys[] = {1, 2, 2, 2, 3};
  for (const Case& c : cases) {
    ProbesByKey list(c.mode);
    std::vector<std::string> outcomes;
    for (int tag = 1; tag <= 5; ++tag) {
      auto item = std::make_unique<Probe>(keys[tag - 1], tag);
      int index = -2;
      const std::string error = ListErrorOf([&] { index = list.Add(item.get()); });
      if (index >= 0) {
        EXPECT_EQ(list.Items(index), item.get());
        item.release();  // the list owns it now; one left out or refused stays ours
      }
      outcomes.push_back(index >= 0 ? "in" : index == -1 ? "left out" : error);
    }
    EXPECT_EQ(outcomes, c.outcomes) << static_cast<int>(c.mode);
    EXPECT_EQ(Tags(list), c.tags) << static_cast<int>(c.mode);
  }
}

TEST_F(ObjectListTest, CountSetterFillsWithEmptySlotsAndFreesWhatItDrops) {
  TObjectList<Probe> list;
  list.Add(new Probe(0, 1));
  list.SetCount(3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(0)->tag, 1);
  EXPECT_EQ(list.Items(2), nullptr);
  list.Put(2, new Probe(0, 3));
  list.SetCount(1);
  EXPECT_EQ(Probe::alive, 1);
  EXPECT_EQ(ListErrorOf([&] { list.SetCount(-1); }), "Listenindex überschreitet das Maximum (-1)");
  EXPECT_EQ(ListErrorOf([&] { list.SetCount(kMaxListSize + 1); }), "Listenindex überschreitet das Maximum (536870911)");
  // An empty slot has no place in an order.
  ProbesByKey sorted(TDuplicates::Accept);
  sorted.Add(new Probe(1, 1));
  EXPECT_EQ(ListErrorOf([&] { sorted.SetCount(2); }), "Listenindex überschreitet das Maximum (2)");
  sorted.SetCount(0);
  EXPECT_EQ(Probe::alive, 1);
}

// A sorted list finds an item by its key, so an equal stand-in finds it as well; walking it still
// goes from item to item through equal keys.
TEST_F(ObjectListTest, SortedListsFindByKeyAndWalkByItem) {
  ProbesByKey list(TDuplicates::Accept);
  for (int tag = 1; tag <= 4; ++tag) list.Add(new Probe(tag == 4 ? 9 : 5, tag));  // keys 5, 5, 5, 9
  Probe standIn(9);
  EXPECT_EQ(list.IndexOf(&standIn), 3);
  EXPECT_EQ(list.IndexOf(list.Items(2)), 0);  // the first of its equals
  standIn.key = 6;
  EXPECT_EQ(list.IndexOf(&standIn), -1);
  std::vector<int> walked;
  for (Probe* p = list.Neighbour(nullptr, true); p != nullptr; p = list.Neighbour(p, true)) walked.push_back(p->tag);
  EXPECT_EQ(walked, (std::vector<int>{3, 2, 1, 4}));
}

namespace {

// Items of two registered classes and one that is not.
struct Shape {
  Shape() { ++alive; }
  virtual ~Shape() { --alive; }
  int id = 0;
  static int alive;
};
int Shape::alive = 0;
struct Circle : Shape {
  std::uint32_t radius = 0;
};
struct Label : Shape {
  std::string text;
};
struct Unregistered : Shape {};

void WriteId(Shape& shape, THugeStream& stream) { WriteFormByte(stream, static_cast<std::uint8_t>(shape.id)); }
void ReadId(Shape& shape, THugeStream& stream) { shape.id = ReadFormByte(stream); }

void RegisterShapes() {
  auto& registry = TClassRegistry<Shape>::Instance();
  registry.Register<Circle>(
      [](Circle& c, THugeStream& s) {
        ReadId(c, s);
        c.radius = ReadForm32(s);
      },
      [](Circle& c, THugeStream& s) {
        WriteId(c, s);
        WriteForm32(s, c.radius);
      });
  registry.Register<Label>(
      [](Label& l, THugeStream& s) {
        ReadId(l, s);
        l.text = ReadClassName(s);
      },
      [](Label& l, THugeStream& s) {
        WriteId(l, s);
        WriteClassName(s, l.text);
      });
  TClassRegistry<Probe>::Instance().Register<Probe>(
      [](Probe& p, THugeStream& s) {
        p.key = static_cast<int>(ReadForm32(s));
        p.tag = ReadFormByte(s);
      },
      [](Probe& p, THugeStream& s) {
        WriteForm32(s, static_cast<std::uint32_t>(p.key));
        WriteFormByte(s, static_cast<std::uint8_t>(p.tag));
      });
}

std::string Bytes(THugeMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

class ObjectListData : public ObjectListTest {
 protected:
  void SetUp() override { RegisterShapes(); }
  void TearDown() override {
    ObjectListTest::TearDown();
    EXPECT_EQ(Shape::alive, 0);
  }
};

}  // namespace

TEST_F(ObjectListData, AListReadsBackTheClassesAndContentsItWrote) {
  TObjectList<Shape> written;
  auto* circle = new Circle;
  circle->id = 1;
  circle->radius = 70000;
  auto* label = new Label;
  label->id = 2;
  label->text = "Größe";
  written.Add(circle);
  written.Add(label);
  THugeMemoryStream stream;
  written.WriteData(stream);
  EXPECT_EQ(Bytes(stream).substr(0, 12), std::string("\x01\x02\x00\x00\x00\x06" "Circle", 12));

  TObjectList<Shape> read(false);
  stream.SetPosition(0);
  read.ReadData(stream);
  EXPECT_TRUE(read.OwnsItems());
  ASSERT_EQ(read.Count(), 2);
  const auto* readCircle = dynamic_cast<const Circle*>(read.Items(0));
  const auto* readLabel = dynamic_cast<const Label*>(read.Items(1));
  ASSERT_TRUE(readCircle && readLabel);
  EXPECT_EQ(readCircle->id, 1);
  EXPECT_EQ(readCircle->radius, 70000u);
  EXPECT_EQ(readLabel->id, 2);
  EXPECT_EQ(readLabel->text, "Größe");
  EXPECT_EQ(stream.Position(), stream.Size());
}

// The mode comes along, and the order is made again as the items are added.
TEST_F(ObjectListData, ASortedListKeepsItsDuplicatesModeAndOrder) {
  ProbesByKey written(TDuplicates::Accept);
  const int keys[] = {3, 1, 2, 1};
  for (int key : keys) written.Add(new Probe(key, key));
  THugeMemoryStream stream;
  written.WriteData(stream);
  EXPECT_EQ(Bytes(stream).substr(0, 2), std::string("\x01\x01", 2));
  ProbesByKey read(TDuplicates::Error);
  stream.SetPosition(0);
  read.ReadData(stream);
  EXPECT_EQ(read.Duplicates(), TDuplicates::Accept);
  EXPECT_EQ(Tags(read), (std::vector<int>{1, 1, 2, 3}));
}

TEST_F(ObjectListData, WhatCannotBeWrittenOrReadIsRefusedWithoutLeavingHalfAList) {
  TObjectList<Shape> source;
  source.Add(new Circle);
  THugeMemoryStream good;
  source.WriteData(good);
  const std::string written = Bytes(good);
  std::string foreign = written;
  foreign.replace(5, 7, "\x07Polygon");
  const auto readFrom = [](const std::string& bytes) {
    return [bytes] {
      TObjectList<Shape> list;
      list.Add(new Label);
      THugeMemoryStream stream;
      stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
      stream.SetPosition(0);
      try {
        list.ReadData(stream);
      } catch (...) {
        EXPECT_EQ(list.Count(), 0);
        throw;
      }
    };
  };
  const auto writeOf = [](std::function<void(TObjectList<Shape>&)> fill) {
    return [fill] {
      TObjectList<Shape> list;
      fill(list);
      THugeMemoryStream stream;
      list.WriteData(stream);
    };
  };
  const struct {
    const char* what;
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {"a class name not registered", readFrom(foreign + written.substr(12)), "Class <Polygon> not registered"},
      {"an empty slot", writeOf([](TObjectList<Shape>& l) { l.SetCount(1); }), "Nil Source Class!"},
      {"an item of a class not registered", writeOf([](TObjectList<Shape>& l) { l.Add(new Unregistered); }),
       "Source Class <Unregistered> not registered"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(archive_fixtures::MessageOf<EClassNotFound>(c.action), c.message) << c.what;
  // Two items announced, one there: the one made is freed again.
  std::string cut = written;
  cut[1] = 2;
  EXPECT_THROW(readFrom(cut)(), classlib::EReadError);
}
