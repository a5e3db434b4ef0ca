#include "platform/FakePlatform.h"

#include <gtest/gtest.h>

TEST(FakePlatform, FailsTheNthWriteAndRefusesALockedFile) {
  FakePlatform fake;
  auto out = fake.OpenFile("out.txt", OpenMode::kWrite);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(fake.OpenFile("out.txt", OpenMode::kRead), nullptr);  // held exclusively
  fake.failWriteAt = 2;
  EXPECT_TRUE(out->Write("a", 1));
  EXPECT_FALSE(out->Write("b", 1));
  out->Close();
  EXPECT_EQ(fake.GetFile("out.txt"), "a");
  // Readers share a file; a writer is refused while any of them reads.
  auto reader1 = fake.OpenFile("out.txt", OpenMode::kRead);
  auto reader2 = fake.OpenFile("out.txt", OpenMode::kRead);
  EXPECT_NE(reader1, nullptr);
  EXPECT_NE(reader2, nullptr);
  EXPECT_EQ(fake.OpenFile("out.txt", OpenMode::kAppend), nullptr);
  reader1.reset();
  reader2.reset();
  EXPECT_NE(fake.OpenFile("out.txt", OpenMode::kAppend), nullptr);
}

TEST(FakePlatform, FindsCaseBlindInNameOrder) {
  FakePlatform fake;
  fake.SetFile("d/b.txt", "");
  fake.SetFile("d/A.TXT", "");
  fake.SetFile("d/c.dat", "");
  fake.AddDirectory("d/sub.txt");
  auto m = fake.FindFiles("d/*.TXT");
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].name, "A.TXT");
  EXPECT_EQ(m[1].name, "b.txt");
  EXPECT_TRUE(m[2].isDirectory);
  EXPECT_EQ(m[2].fullPath, "d/sub.txt");
}

TEST(FakePlatform, LocalTimeIsCivilUtc) {
  FakePlatform fake;
  DateTime t = fake.LocalTime(978512707);  // 2001-01-03 09:05:07 UTC
  EXPECT_EQ(t.year, 2001);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 3);
  EXPECT_EQ(t.hour, 9);
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 7);
}

TEST(FakePlatform, ConvertsUtf8WithTheRealConverter) {
  FakePlatform fake;
  std::string out;
  EXPECT_TRUE(fake.ConvertUtf8ToCp932("\xE8\xA1\xA8", out));  // 表
  EXPECT_EQ(out, "\x95\x5C");
  EXPECT_FALSE(fake.ConvertUtf8ToCp932("\xC3\xA9", out));  // é has no code page 932 form
}
