#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "classlib/lists.h"
#include "classlib/stringlist.h"

using namespace classlib;

TEST(TList, AddRemoveAndBadIndices) {
  TList list;
  int a = 1, b = 2, c = 3;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  list.Insert(0, &c);
  EXPECT_EQ(list.IndexOf(&a), 1);
  EXPECT_EQ(list.Remove(&a), 1);
  EXPECT_EQ(list.Remove(&a), -1);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.First(), &c);
  EXPECT_EQ(list.Last(), &b);
  EXPECT_THROW(list.GetItem(2), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(3, &a), EListError);
  list.Clear();
  EXPECT_THROW(list.First(), EListError);
}

TEST(TList, SortsWithTheCompareRoutine) {
  int values[] = {5, 1, 4, 2, 3};
  TList list;
  for (int& v : values) list.Add(&v);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(*static_cast<int*>(list[i]), i + 1);
}

TEST(TStrings, SetTextSplitsAtEveryLineBreak) {
  TStringList list;
  list.SetTextStr("a\r\nb\nc\rd\r\n\r\ne");
  ASSERT_EQ(list.GetCount(), 6);
  const char* expected[] = {"a", "b", "c", "d", "", "e"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i], expected[i]) << i;
  list.SetTextStr("one\r\n");
  EXPECT_EQ(list.GetCount(), 1) << "a final break adds no empty line";
  list.SetTextStr("\n");
  EXPECT_EQ(list.GetCount(), 1);
  list.SetTextStr("");
  EXPECT_EQ(list.GetCount(), 0);
  list.SetTextStr(" x \r");
  EXPECT_EQ(list[0], " x ") << "nothing is trimmed";
  EXPECT_EQ(list.GetTextStr(), " x \r\n");
}

TEST(TStringList, IndexOfIgnoresCaseAndChangesFireOncePerUpdate) {
  TStringList list;
  int changes = 0, changing = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.OnChanging = [&](TObject*) { ++changing; };
  list.Add("Blå");
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  list.Add("[SKJUL]");
  list.Add("x");
  list.Delete(2);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(list.IndexOf("BLÅ"), 0);
  EXPECT_EQ(list.IndexOf("[skjul]"), 1);
  EXPECT_EQ(list.IndexOf("none"), -1);
  EXPECT_THROW(list.Get(5), EStringListError);
}

TEST(TStringList, SortedListsKeepOrder) {
  TStringList list;
  list.Add("b");
  list.Add("A");
  list.SetSorted(true);
  list.Add("c");
  list.Add("a0");
  EXPECT_EQ(list.GetTextStr(), "A\r\na0\r\nb\r\nc\r\n");
}
