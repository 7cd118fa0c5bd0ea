// The downloaded setup. It goes into a fresh folder of its own below the temporary folder, so no
// file put there beforehand can be started in its place, and it is started only once its SHA-256
// is the digest the signed version file gave; from that check on it stays open for reading only,
// so it cannot be changed before it runs.
#pragma once

#include <string>

namespace update {

class TSetupFile {
 public:
  TSetupFile() = default;
  // Lets go of the file; what is on the disk stays.
  ~TSetupFile();
  TSetupFile(const TSetupFile&) = delete;
  TSetupFile& operator=(const TSetupFile&) = delete;

  static constexpr char kName[] = "orvapp.exe";

  // Creates a new folder below tempFolder for the next download; false when none can be created.
  bool Prepare(const std::string& tempFolder);
  // The folder and the setup file in it; empty before Prepare.
  const std::string& Folder() const { return folder_; }
  const std::string& FileName() const { return fileName_; }
  // True when the file's SHA-256 is digest (hex digits, any case); the file stays locked then.
  bool Verify(const std::string& digest);
  // Lets go of the file and deletes it and its folder.
  void Discard();
  // Lets go of the file and keeps it, for a setup that was started.
  void Release();

 private:
  void Unlock();

  std::string folder_;
  std::string fileName_;
  void* lock_ = nullptr;
};

}  // namespace update
