#pragma once
// Helpers shared by the engine tests.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/gbk.h"

namespace velmora::testing {

// GBK bytes of a UTF-8 literal, so tests read like the pages they describe.
inline std::string g(std::string_view utf8) {
    return gbk::fromUtf8(utf8);
}

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

}  // namespace velmora::testing
