#include "platform/FakePlatform.h"

#include <gtest/gtest.h>

TEST(FakePlatform, FailsTheNthWriteAndRefusesALockedFile) {
  CFakePlatform fake;
  auto out = fake.OpenFile("out.txt", EOpenMode::kWrite);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(fake.OpenFile("out.txt", EOpenMode::kRead), nullptr);  // held exclusively
  fake.m_nFailWriteAt = 2;
  EXPECT_TRUE(out->Write("a", 1));
  EXPECT_FALSE(out->Write("b", 1));
  out->Close();
  EXPECT_EQ(fake.GetFile("out.txt"), "a");
  EXPECT_NE(fake.OpenFile("out.txt", EOpenMode::kRead), nullptr);
}

TEST(FakePlatform, FindsCaseBlindInNameOrder) {
  CFakePlatform fake;
  fake.SetFile("d/b.txt", "");
  fake.SetFile("d/A.TXT", "");
  fake.SetFile("d/c.dat", "");
  fake.AddDirectory("d/sub.txt");
  auto m = fake.FindFiles("d/*.TXT");
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].strName, "A.TXT");
  EXPECT_EQ(m[1].strName, "b.txt");
  EXPECT_TRUE(m[2].bDirectory);
  EXPECT_EQ(m[2].strFullPath, "d/sub.txt");
}

TEST(FakePlatform, LocalTimeIsCivilUtc) {
  CFakePlatform fake;
  CDateTime t = fake.LocalTime(978512707);  // 2001-01-03 09:05:07 UTC
  EXPECT_EQ(t.year, 2001);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 3);
  EXPECT_EQ(t.hour, 9);
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 7);
}
