// The receiver's user settings: "config.ini" in the per-user folder
// ($XDG_CONFIG_HOME/Velaport/), section "GENERAL", UTF-16 LE with its mark.
// The store supplies defaults and generates the identity values (device id,
// hosted-network name and passphrase) on first use, writing them back.
//
// Every getter returns 0 (or -1 where stated) and delivers UTF-8 text.
// Getters may be called from any thread.
#pragma once

#include <mutex>
#include <string>

class SettingsStore {
 public:
  static constexpr const char* kSection = "GENERAL";
  static constexpr size_t kValueChars = 512;

  // The process-wide store over the user's roaming settings folder.
  static SettingsStore& Instance();

  // A store whose file lives in app_data_folder/Velaport/config.ini; the
  // folder and the file (holding only the byte-order mark) are created when
  // missing. An empty app_data_folder leaves the store without a file: reads
  // give defaults and generated values are not kept.
  explicit SettingsStore(const std::string& app_data_folder);

  const std::string& FilePath() const { return path_; }

  int GetDeviceName(std::string* name);
  // Empty means no password is required.
  int GetPassword(std::string* password);
  // Always ends with a separator.
  int GetReceivePath(std::string* path);
  // 36 lower-case hexadecimal characters with dashes, generated once.
  int GetDeviceId(std::string* id);
  // "Velaport_" and 4 upper-case hexadecimal digits, generated once.
  int GetHotspotName(std::string* name);
  // 8 decimal digits, generated once.
  int GetHotspotPassphrase(std::string* passphrase);
  // "2.5.1" from the product version.
  int GetVersionText(std::string* version);
  // The computer's name; -1 when it cannot be read.
  int GetComputerName(std::string* name);

  // Plain access to other keys of the section, for the settings pages.
  std::string ReadString(const std::string& key, const std::string& default_value);
  int ReadInt(const std::string& key, int default_value);
  bool WriteString(const std::string& key, const std::string& value);

 private:
  // Reads key; when it is empty, stores and returns make().
  template <typename Make>
  std::string ReadOrGenerate(const char* key, Make make);

  std::string path_;
  std::mutex generate_lock_;  // two threads never generate two different ids
};
