#include "registry/reg_codec.h"

#include <gtest/gtest.h>

using namespace scrivle;

// What a person might write by hand in UTF-8: comments, continuation lines, deletions.
TEST(RegCodec, ReadsAHandWrittenFile) {
  const regfile::Store hand = regfile::parse(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n; note\n"
      "[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n   02\n\"y\"=\"\xC3\xA9t\xC3\xA9\"\n"
      "\"z\"=dword:1\n\"z\"=-\n[-HKEY_CURRENT_USER\\B]\n\"ignored\"=dword:1\n"
      "[HKEY_CURRENT_USER\\C\\\\D\\]\n\"w\"=dword:2\n");
  const regfile::StoredKey* a = hand.find(RegRoot::CurrentUser, "a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(regfile::Store::findValue(*a, "x")->value, RegValue::ofBinary("\x01\x02"));
  EXPECT_EQ(regfile::Store::findValue(*a, "y")->value.data, "\xE9t\xE9");
  EXPECT_EQ(regfile::Store::findValue(*a, "z"), nullptr);
  // A doubled backslash names no empty key.
  ASSERT_NE(hand.find(RegRoot::CurrentUser, "c\\d"), nullptr);
  EXPECT_EQ(hand.keys().size(), 3U);
}

TEST(RegCodec, RefusesWhatItCannotParse) {
  for (const char* bad : {
           "REGEDIT5\r\n",
           "Windows Registry Editor Version 5.00\n\"a\"=dword:1\n",
           "Windows Registry Editor Version 5.00\n[HKEY_USERS\\A]\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"b\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:0g\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=dword:123456789\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=quoi\n",
           "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\nbonjour\n",
           "\xFF\xFEW\x00x",
           "Windows Registry Editor Version 5.00\n\xC3(\n",
       }) {
    EXPECT_THROW(regfile::parse(bad), regfile::ParseError) << bad;
  }
}
