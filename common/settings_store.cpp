#include "settings_store.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>

#include "platform/profile.h"
#include "platform/system.h"

namespace {

// Written in place of an absent "Password" to tell it from an empty one.
constexpr const char* kPasswordAbsent = "VOID_864209753_%";

std::string NewGuidText() {
  std::random_device device;
  uint8_t b[16];
  for (auto& byte : b) byte = static_cast<uint8_t>(device());
  b[6] = (b[6] & 0x0F) | 0x40;  // version 4
  b[8] = (b[8] & 0x3F) | 0x80;  // RFC 4122 variant
  char text[37];
  std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3], (b[4] << 8) | b[5],
                (b[6] << 8) | b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

// The pseudo-random generator seeded with the current time in seconds.
uint32_t TimeSeededRandom() {
  std::minstd_rand engine(static_cast<uint32_t>(std::time(nullptr)));
  return engine();
}

void CreateWithByteOrderMark(const std::string& path) {
  if (std::ifstream(path)) return;
  std::ofstream out(path, std::ios::binary);
  out.write("\xFF\xFE", 2);
}

}  // namespace

SettingsStore& SettingsStore::Instance() {
  static SettingsStore store(platform::RoamingAppDataFolder());
  return store;
}

SettingsStore::SettingsStore(const std::string& app_data_folder) {
  if (app_data_folder.empty()) return;
  std::string folder = app_data_folder + "/Velaport/";
  platform::CreateFolderTree(folder);
  path_ = folder + "config.ini";
  CreateWithByteOrderMark(path_);
}

std::string SettingsStore::ReadString(const std::string& key, const std::string& default_value) {
  if (path_.empty()) return default_value;
  return platform::GetProfileString(kSection, key, default_value, path_, kValueChars);
}

int SettingsStore::ReadInt(const std::string& key, int default_value) {
  if (path_.empty()) return default_value;
  return platform::GetProfileInt(kSection, key, default_value, path_);
}

bool SettingsStore::WriteString(const std::string& key, const std::string& value) {
  return !path_.empty() && platform::WriteProfileString(kSection, key, value, path_);
}

template <typename Make>
std::string SettingsStore::ReadOrGenerate(const char* key, Make make) {
  std::lock_guard lock(generate_lock_);
  std::string value = ReadString(key, "");
  if (value.empty()) {
    value = make();
    WriteString(key, value);
  }
  return value;
}

int SettingsStore::GetDeviceName(std::string* name) {
  std::string computer;
  GetComputerName(&computer);
  *name = ReadString("DeviceName", computer);
  return 0;
}

int SettingsStore::GetPassword(std::string* password) {
  *password = ReadString("Password", kPasswordAbsent);
  if (*password == kPasswordAbsent) {
    password->clear();
    WriteString("Password", "");
  }
  return 0;
}

int SettingsStore::GetReceivePath(std::string* path) {
  std::string documents = platform::DocumentsFolder();
  std::string fallback = documents.empty() ? platform::TempFolder() + "Velaport/"
                                           : documents + "/Velaport/";
  *path = ReadString("RecvPath", fallback);
  if (path->empty() || path->back() != '/') *path += '/';
  return 0;
}

int SettingsStore::GetDeviceId(std::string* id) {
  *id = ReadOrGenerate("guid", NewGuidText);
  return 0;
}

int SettingsStore::GetHotspotName(std::string* name) {
  *name = ReadOrGenerate("ap_ssid", [] {
    char text[16];
    std::snprintf(text, sizeof text, "Velaport_%04X", TimeSeededRandom() % 65535);
    return std::string(text);
  });
  return 0;
}

int SettingsStore::GetHotspotPassphrase(std::string* passphrase) {
  *passphrase = ReadOrGenerate("ap_pass", [] {
    char text[16];
    std::snprintf(text, sizeof text, "%08ld", static_cast<long>(TimeSeededRandom() % 100000000));
    return std::string(text);
  });
  return 0;
}

int SettingsStore::GetVersionText(std::string* version) {
  platform::ProductVersion v = platform::GetProductVersion();
  *version = std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
  return 0;
}

int SettingsStore::GetComputerName(std::string* name) {
  *name = platform::ComputerName();
  return name->empty() ? -1 : 0;
}
