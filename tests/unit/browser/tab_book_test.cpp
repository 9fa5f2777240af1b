#include "browser/tab_book.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

// Slots hold names so each test can see which tab went where.
TabBook<std::string> bookWith(int extraTabs) {
  TabBook<std::string> book;
  book.setHome("home");
  for (int i = 1; i <= extraTabs; ++i) EXPECT_TRUE(book.open("tab" + std::to_string(i)));
  return book;
}

TEST(TabBook, StartsWithTheHomeTabOnly) {
  TabBook<std::string> book = bookWith(0);
  EXPECT_EQ(book.LastTabIndex(), 0);
  EXPECT_EQ(book.ActiveTabIndex(), 0);
  EXPECT_EQ(book.at(0), "home");
  EXPECT_EQ(book.at(1), "");
}

TEST(TabBook, OpenAppendsAndActivatesTheNewTab) {
  TabBook<std::string> book = bookWith(2);
  EXPECT_EQ(book.LastTabIndex(), 2);
  EXPECT_EQ(book.ActiveTabIndex(), 2);
  EXPECT_EQ(book.at(2), "tab2");
}

TEST(TabBook, CloseInTheMiddleShiftsDownAndActivatesTheLeftNeighbour) {
  TabBook<std::string> book = bookWith(2);
  book.pageChanged(1);
  auto removed = book.closeActive();
  ASSERT_TRUE(removed);
  EXPECT_EQ(*removed, "tab1");
  EXPECT_EQ(book.at(1), "tab2");
  EXPECT_EQ(book.at(2), "");
  EXPECT_EQ(book.ActiveTabIndex(), 0);
  EXPECT_EQ(book.LastTabIndex(), 1);
}

TEST(TabBook, CloseOfTheLastTabActivatesTheOneBefore) {
  TabBook<std::string> book = bookWith(3);
  ASSERT_TRUE(book.closeActive());
  EXPECT_EQ(book.ActiveTabIndex(), 2);
  EXPECT_EQ(book.LastTabIndex(), 2);
  EXPECT_EQ(book.at(2), "tab2");
}

TEST(TabBook, CloseOnTheHomeTabDoesNothing) {
  TabBook<std::string> book = bookWith(2);
  book.pageChanged(0);
  EXPECT_FALSE(book.closeActive());
  EXPECT_EQ(book.LastTabIndex(), 2);
  EXPECT_EQ(book.ActiveTabIndex(), 0);
  EXPECT_EQ(book.at(0), "home");
  EXPECT_EQ(book.at(1), "tab1");
}

TEST(TabBook, TwentyOneTabsAtMost) {
  TabBook<std::string> book = bookWith(20);
  EXPECT_TRUE(book.full());
  EXPECT_EQ(book.LastTabIndex(), 20);
  book.pageChanged(5);
  EXPECT_FALSE(book.open("one too many"));
  EXPECT_EQ(book.LastTabIndex(), 20);
  EXPECT_EQ(book.ActiveTabIndex(), 5);
  EXPECT_EQ(book.at(20), "tab20");
  // Closing one makes room again.
  ASSERT_TRUE(book.closeActive());
  EXPECT_FALSE(book.full());
  EXPECT_TRUE(book.open("again"));
  EXPECT_EQ(book.at(20), "again");
}

TEST(TabBook, PageChangeFollowsTheStrip) {
  TabBook<std::string> book = bookWith(3);
  book.pageChanged(1);
  EXPECT_EQ(book.ActiveTabIndex(), 1);
  book.pageChanged(-1);  // an emptied strip reports -1
  EXPECT_EQ(book.ActiveTabIndex(), 1);
  EXPECT_EQ(book.LastTabIndex(), 3);
}

}  // namespace
}  // namespace qm
