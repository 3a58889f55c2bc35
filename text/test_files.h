// Test helper: a file in a fresh temporary folder, removed with its folder afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace q7::test {

class TempFile {
public:
  explicit TempFile(std::string_view name = "Strings.xml") {
    // Unique across the test processes that CTest runs side by side: a random part per process.
    static const unsigned processPart = std::random_device{}();
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("q7text-" + std::to_string(processPart) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(dir_);
    path_ = dir_ / std::filesystem::path(std::string(name));
  }
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void write(std::string_view bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  std::u16string path() const { return path_.u16string(); }
  void remove() const { std::filesystem::remove(path_); }

private:
  std::filesystem::path dir_;
  std::filesystem::path path_;
};

} // namespace q7::test
