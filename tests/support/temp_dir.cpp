#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fsys = std::filesystem;

namespace testing_support {
namespace {

fsys::path FromUtf8(const std::string& s) { return fsys::u8path(s); }

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "orvanta-test-" << stamp << "-" << counter++;
  const fsys::path dir = fsys::temp_directory_path() / name.str();
  fsys::create_directories(dir);
  path_ = dir.u8string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  fsys::remove_all(FromUtf8(path_), ignored);
}

std::string TempDir::operator/(const std::string& name) const { return Join(path_, name); }

std::string Join(const std::string& folder, const std::string& name) { return folder + kSeparator + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(FromUtf8(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool FileExists(const std::string& path) { return fsys::exists(FromUtf8(path)); }

}  // namespace testing_support
