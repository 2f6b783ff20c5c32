#include "log_list_model.h"

#include <gtest/gtest.h>

namespace {

TEST(LogListModelTest, KeepsLinesInArrivalOrder) {
  LogListModel model;
  EXPECT_EQ(model.Count(), 0);
  EXPECT_EQ(model.Append("first"), 0);
  EXPECT_EQ(model.Append(""), 1);
  EXPECT_EQ(model.Append("第三 %s"), 2);
  EXPECT_EQ(model.Count(), 3);
  EXPECT_EQ(model.LineAt(0), "first");
  EXPECT_EQ(model.LineAt(1), "");
  EXPECT_EQ(model.LineAt(2), "第三 %s");
  EXPECT_EQ(model.LineAt(3), "");
  EXPECT_EQ(model.LineAt(-1), "");
}

TEST(LogListModelTest, TextOfRowsPutsOneLinePerLine) {
  LogListModel model;
  for (const char* line : {"a", "b", "", "d"}) model.Append(line);
  EXPECT_EQ(model.TextOfRows({3}), "d");
  EXPECT_EQ(model.TextOfRows({0, 1, 2, 3}), "a\nb\n\nd");
  EXPECT_EQ(model.TextOfRows({1, 7, 0}), "b\na");
  EXPECT_EQ(model.TextOfRows({}), "");
}

}  // namespace
