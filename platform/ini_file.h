#pragma once
// Key-by-key access to an INI file of GBK bytes. Every write reaches the file
// at once; the file's other lines are kept as they are.
#include <optional>
#include <string>

namespace velmora {

class IniFile {
  public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The value, or `fallback` when the file, the section or the key is missing
    // or the file cannot be read.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback = {}) const;
    // Integer value; `fallback` when missing or not a number.
    long readInt(const std::string& section, const std::string& key, long fallback) const;

    // Each returns false when the file could not be written.
    bool write(const std::string& section, const std::string& key, const std::string& value);
    bool remove(const std::string& section, const std::string& key);

  private:
    std::string path_;
};

}  // namespace velmora
