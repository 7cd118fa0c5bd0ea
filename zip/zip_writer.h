// The writer component: builds new archives and updates existing ones from a list of files, whole
// or split into numbered parts or spanned disks. It derives from the reader, so one instance can
// read what it wrote. The run itself is ArchiveFiles.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "classlib/stringlist.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"

namespace zip {

// A field of the classic format would overflow (entry count, a 4 GiB size or offset); the engine
// has no Zip64.
CLASSLIB_EXCEPTION(EZipTooLarge, classlib::Exception);

enum class TZipAction { zaUpdate, zaReplace, zaFreshen };
enum class TUpdateAction { uaReplacing, uaKeeping };

// The split settings of a writer.
class TMultiZipInfo {
 public:
  void Assign(const TMultiZipInfo& source) { *this = source; }

  // Maximum bytes of every part after the first, and of the first (mmBlocks).
  std::int32_t BlockSize = 1457600;
  std::int32_t FirstBlockSize = 1457600;
  // Bytes to leave free on the first spanned disk.
  std::int32_t SaveOnFirstDisk = 0;
  // Reserve room for, and write, the ".zfc" copy of the directory.
  bool SaveZipInfoOnFirstDisk = false;
  TMultiMode MultiMode = TMultiMode::mmNone;
  bool CheckDiskLabels = true;
  bool WriteDiskLabels = true;
};

// What the caller's own search of a folder found of a file it lists by full name.
struct TFoundFile {
  std::int64_t Size = 0;
  std::uint32_t Attributes = 0;
};

using TStartZipEvent = std::function<void(const std::string& FName, TZipHeaderInfo& ZipHeader, bool& Skip)>;
using TStartZipInfo =
    std::function<void(int NumFiles, std::int64_t TotalBytes, TEndCentral& EndCentralRecord, bool& StopNow)>;
using TEndZipFileEvent = std::function<void(const std::string& FName, std::uint32_t UncompressedSize,
                                            std::uint32_t CompressedSize, std::int64_t CurrentZipSize)>;
using TDisposeEvent = std::function<void(const std::string& FName, bool& Skip)>;
using TDeleteEvent = std::function<void(const std::string& FName, bool& Skip)>;
using TNoSuchFileEvent = std::function<void(const std::string& FName)>;
using TZipComplete = std::function<void(int FileCount)>;
using TUpdateEvent = std::function<void(TUpdateAction UDAction, int FileIndex)>;
using TPrepareNextDisk = std::function<void(int DiskNum)>;
using TOnRecursingFile = std::function<void(const std::string& FName)>;
using TEncryptEvent = std::function<void(std::uint8_t* buffer, int length, const std::string& Password)>;

class TZipWriter : public TZipReader {
 public:
  TZipWriter();
  ~TZipWriter() override;

  // Copies the reader's settings and, from another writer, the writing settings and handlers
  // (not OnPrepareNextDisk, OnRecursingFile, OnEncrypt).
  void Assign(const TZipReader& source) override;
  // Passes the split settings through to the reader side.
  void Loaded() override;
  bool CheckDiskLabels() const override;
  void SetCheckDiskLabels(bool value) override;
  TMultiMode MultiMode() const override;
  void SetMultiMode(TMultiMode value) override;

  // ---- published properties

  // Deflate level 1..9; 0 stores every file.
  int PackLevel() const { return packLevel_; }
  void SetPackLevel(int value);
  bool Recurse() const { return recurse_; }
  void SetRecurse(bool value);
  // Deletes the source files after a successful run.
  bool Dispose() const { return dispose_; }
  void SetDispose(bool value);
  // False also clears StoreVolumes and RelativePaths.
  bool StorePaths() const { return storePaths_; }
  void SetStorePaths(bool value);
  // True also sets StorePaths and Recurse.
  bool RelativePaths() const { return relativePaths_; }
  void SetRelativePaths(bool value);
  // True also sets StorePaths.
  bool StoreVolumes() const { return storeVolumes_; }
  void SetStoreVolumes(bool value);
  TZipAction ZipAction() const { return zipAction_; }
  void SetZipAction(TZipAction value);
  const TMultiZipInfo& MultiZipInfo() const { return multiZipInfo_; }
  TMultiZipInfo& MultiZipInfo() { return multiZipInfo_; }
  void SetMultiZipInfo(const TMultiZipInfo& value);
  bool Store83Names() const { return store83Names_; }
  void SetStore83Names(bool value);
  const std::string& TempPath() const { return tempPath_; }
  void SetTempPath(const std::string& value);
  bool SkipIfArchiveBitNotSet() const { return skipIfArchiveBitNotSet_; }
  void SetSkipIfArchiveBitNotSet(bool value);
  bool ResetArchiveBitOnZip() const { return resetArchiveBitOnZip_; }
  void SetResetArchiveBitOnZip(bool value);
  // Patterns: with a "\" matched against the whole name, else against the file name.
  const classlib::TStringList& ExcludeList() const { return excludeList_; }
  void SetExcludeList(const classlib::TStringList& value);
  const classlib::TStringList& NoCompressList() const { return noCompressList_; }
  void SetNoCompressList(const classlib::TStringList& value);
  bool AddDirEntriesOnRecurse() const { return addDirEntriesOnRecurse_; }
  void SetAddDirEntriesOnRecurse(bool value);
  // Size and attributes of files named in FilesList, keyed by the name as listed: the run takes
  // them from here instead of asking the file system again. Names without an entry are looked
  // up. Emptied with FilesList at the end of every run.
  void SetFoundFiles(std::unordered_map<std::string, TFoundFile> value) { foundFiles_ = std::move(value); }

  // ---- published events

  TStartZipEvent OnStartZip;
  TStartZipInfo OnStartZipInfo;
  TEndZipFileEvent OnEndZip;
  TDisposeEvent OnDisposeFile;
  // Offered for compatibility; no operation fires it.
  TDeleteEvent OnDeleteEntry;
  TNoSuchFileEvent OnNoSuchFile;
  TZipComplete OnZipComplete;
  TUpdateEvent OnUpdate;
  TPrepareNextDisk OnPrepareNextDisk;
  TOnRecursingFile OnRecursingFile;
  // Replaces the built-in encryption of data buffers.
  TEncryptEvent OnEncrypt;

  // ---- operations

  // TempPath when that folder exists, else the system's temporary folder.
  std::string TempDirectory() const;
  // Writes ZipName from FilesList (a new archive, or an update of an existing unsplit one) and
  // returns the number of entries written from the list; fires OnZipComplete on success.
  int ArchiveFiles();

 protected:
  // The output file of a part or of the update's temporary archive; tests put failing streams here.
  virtual std::unique_ptr<TBufferStream> CreateOutput(const std::string& name);
  // A file to add, opened for reading; tests put failing streams here.
  virtual std::unique_ptr<TBufferStream> OpenInput(const std::string& name);
  // Free bytes on the volume of root; tests stand in a fake drive for spanned disks.
  virtual std::int64_t FreeSpaceOf(const std::string& root) const;

 private:
  struct TRunState;

  int WriteArchive();
  int RunWriting();
  // Both endings: the run state goes, FilesList is emptied, the archive file closed.
  void EndRun();
  void StartUpdate();
  void OpenOutput(const std::string& name);
  void WriteCentralDirectory();
  void FinishRun();
  void RemoveWrittenFiles();
  void ReplaceArchiveFile();
  void DisposeSources();

  // Entry compression.
  // True when the entry was written; header then holds its record.
  bool AddEntry(const std::string& fName, TZipHeaderInfo& header);
  bool AddDirectoryEntry(const std::string& fName, TZipHeaderInfo& header);
  bool AddFileEntry(const std::string& fName, TZipHeaderInfo& header);
  bool CompressEntryData(const std::string& fName, TZipHeaderInfo& header, std::int64_t dataStart);
  std::int64_t ReadInput(void* buffer, std::int64_t count);
  void WriteOutput(std::uint8_t* buffer, std::int64_t count);
  std::int64_t DeflateEntry();
  void StoreEntry();
  std::uint32_t PrecomputeCrc(TBufferStream& source);
  void WriteEncryptionHeader(std::uint32_t crc);
  // Where entry data goes: the temporary data file in a split archive, else the output.
  TBufferStream& DataStream();
  // The directory an entry made from a file records, and its directory + file name as the run
  // keys it (lower case); one rule for new, replacing and matched names.
  std::string StoredPathOf(const std::string& name) const;
  std::string StoredKeyOf(const std::string& name) const;
  std::string NameForHeader(const std::string& name) const;

  // Split parts.
  std::string PartName(int part) const;
  std::int64_t RoomLeft();
  void StartFirstPart();
  void NextVolume();
  // Opens a new part when fewer than needed bytes fit in this one; raises when even a fresh part
  // cannot take them.
  void MakeRoomFor(std::int64_t needed);
  void CopyAcrossVolumes(TBufferStream& data, std::uint32_t uncompressedSize);
  void WriteDiskLabel();
  void SaveZipConfigFile(const std::string& fileName);
  std::int64_t TargetFreeSpace() const;
  // Closes the current part; a failed final write means the medium is full.
  void CloseOutput();

  // File lists.
  void ExpandFileList();
  void ExpandWildcardName(std::string name);
  bool IsExcluded(const std::string& name) const;
  bool IsStoredOnly(const std::string& name) const;
  bool InLoadedDirectory(const std::string& name) const;
  void MergeExistingEntries();
  void CopyKeptEntry(const TZipHeaderInfo& old, TZipHeaderInfo& entry);
  void KeepEntry(const TZipHeaderInfo& old, std::unique_ptr<TZipHeaderInfo> entry, const std::string& disposeName);
  void ListWrittenEntry(std::unique_ptr<TZipHeaderInfo> entry, const std::string& name);
  // Writes a name of FilesList as a new or replacing entry; true when it was written.
  bool WriteNamedEntry(const std::string& name);

  int packLevel_ = 6;
  bool recurse_ = false;
  bool dispose_ = false;
  bool storePaths_ = false;
  bool relativePaths_ = false;
  bool storeVolumes_ = false;
  TZipAction zipAction_ = TZipAction::zaUpdate;
  TMultiZipInfo multiZipInfo_;
  bool store83Names_ = false;
  std::string tempPath_;
  bool skipIfArchiveBitNotSet_ = false;
  bool resetArchiveBitOnZip_ = false;
  classlib::TStringList excludeList_;
  classlib::TStringList noCompressList_;
  bool addDirEntriesOnRecurse_ = false;
  std::unordered_map<std::string, TFoundFile> foundFiles_;

  std::unique_ptr<TRunState> run_;
  // Seeded once, so encryption headers of one run never repeat.
  std::mt19937 random_;
};

}  // namespace zip
