#include "product_version.h"

#include "platform/system.h"

std::string ProductVersionText() {
  const platform::ProductVersion v = platform::GetProductVersion();
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch) +
         "." + std::to_string(v.build);
}
