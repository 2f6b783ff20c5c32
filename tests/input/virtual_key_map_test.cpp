// gtest first: Xlib defines macros (None) that clash with gtest names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <string>

#include "platform/input.h"

namespace {

uint32_t Keysym(const std::string& name) {
  return static_cast<uint32_t>(XStringToKeysym(name.c_str()));
}

TEST(VirtualKeyMap, LettersDigitsAndFunctionKeys) {
  for (char c = 'A'; c <= 'Z'; ++c)
    EXPECT_EQ(platform::VirtualKeyToKeysym(c), Keysym(std::string(1, char(c + 32)))) << c;
  for (char c = '0'; c <= '9'; ++c)
    EXPECT_EQ(platform::VirtualKeyToKeysym(c), Keysym(std::string(1, c))) << c;
  for (int i = 1; i <= 24; ++i)
    EXPECT_EQ(platform::VirtualKeyToKeysym(0x6F + i), Keysym("F" + std::to_string(i))) << i;
  for (int i = 0; i <= 9; ++i)
    EXPECT_EQ(platform::VirtualKeyToKeysym(0x60 + i), Keysym("KP_" + std::to_string(i))) << i;
}

TEST(VirtualKeyMap, EditingNavigationAndModifierKeys) {
  const struct {
    uint8_t code;
    const char* name;
  } cases[] = {
      {0x08, "BackSpace"},    {0x09, "Tab"},       {0x0D, "Return"},    {0x10, "Shift_L"},
      {0x11, "Control_L"},    {0x12, "Alt_L"},     {0x14, "Caps_Lock"}, {0x1B, "Escape"},
      {0x20, "space"},        {0x21, "Prior"},     {0x22, "Next"},      {0x23, "End"},
      {0x24, "Home"},         {0x25, "Left"},      {0x26, "Up"},        {0x27, "Right"},
      {0x28, "Down"},         {0x2D, "Insert"},    {0x2E, "Delete"},    {0x5B, "Super_L"},
      {0xA1, "Shift_R"},      {0xA3, "Control_R"}, {0xA5, "Alt_R"},     {0xBA, "semicolon"},
      {0xBC, "comma"},        {0xBD, "minus"},     {0xBE, "period"},    {0xBF, "slash"},
      {0xAD, "XF86AudioMute"}};
  for (const auto& c : cases)
    EXPECT_EQ(platform::VirtualKeyToKeysym(c.code), Keysym(c.name)) << c.name;
}

TEST(VirtualKeyMap, CodesWithoutKeyMapToNothing) {
  for (uint8_t code : {0x00, 0x01, 0x07, 0x0A, 0x3A, 0x40, 0x88, 0xE0, 0xFF})
    EXPECT_EQ(platform::VirtualKeyToKeysym(code), 0u) << int(code);
}

}  // namespace
