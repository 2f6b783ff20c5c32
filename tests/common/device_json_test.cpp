#include "common/device_json.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceJson, IndentedSortedWithFinalLineFeed) {
  Json::Value reply = MakeCommand(1, 20);
  reply["uid"] = "4f1c";
  reply["need_password"] = false;
  reply["name"] = "\xE6\x95\x99\xE5\xAE\xA4";  // written as UTF-8, not escaped
  EXPECT_EQ(DeviceJsonText(reply),
            "{\n"
            "   \"act\" : 1,\n"
            "   \"cmd\" : 20,\n"
            "   \"name\" : \"\xE6\x95\x99\xE5\xAE\xA4\",\n"
            "   \"need_password\" : false,\n"
            "   \"uid\" : \"4f1c\"\n"
            "}\n");
}

TEST(DeviceJson, MembersReadWithProtocolDefaults) {
  Json::Value value;
  ASSERT_TRUE(ParseDeviceJson(R"({"act":"7","cmd":3,"ok":true,"name":"x","n":2.0})", &value));
  EXPECT_EQ(JsonInt(value, "act"), 0) << "an act that is not a number reads as 0";
  EXPECT_EQ(JsonInt(value, "cmd"), 3);
  EXPECT_EQ(JsonInt(value, "missing"), 0);
  EXPECT_EQ(JsonInt(value, "n"), 2);
  EXPECT_TRUE(JsonBool(value, "ok"));
  EXPECT_FALSE(JsonBool(value, "missing"));
  EXPECT_EQ(JsonString(value, "name"), "x");
  EXPECT_EQ(JsonString(value, "cmd"), "");
}

TEST(DeviceJson, NonObjectsAndGarbageReadAsEmpty) {
  for (const char* text : {"[1,2]", "42", "\"act\"", "{\"act\":", "\xFF\xFE", ""}) {
    Json::Value value;
    ParseDeviceJson(text, &value);
    EXPECT_EQ(JsonInt(value, "act"), 0) << text;
    EXPECT_EQ(JsonString(value, "act"), "") << text;
  }
  Json::Value value;
  EXPECT_FALSE(ParseDeviceJson("{\"act\":", &value));
  EXPECT_TRUE(value.isNull());
}

}  // namespace
