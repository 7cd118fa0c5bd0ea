// The reader component: lists and extracts zip archives, whole or split into parts. The writer
// derives from it. Events are plain function objects that fire only when assigned; var parameters
// are references the handler may change.
//
// While the component is busy (reading a directory, extracting, or a derived writer's run), its
// setters and its LoadDirectory, ClearArchive and extraction raise EZipBusy; the getters and
// RequestCancel stay available to the handlers that run while the work pumps messages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/datetime.h"
#include "classlib/stringlist.h"
#include "zip/crypt.h"
#include "zip/end_central.h"
#include "zip/sorted_zip.h"
#include "zip/streams.h"
#include "zip/zip_header_info.h"

namespace zip {

enum class TUZOverwriteMode { Prompt, Always, Never, ifNewer, ifOlder };
enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
// Extraction adds its own reasons: srUnknownMethod, srReadOnly (the target may not be replaced),
// srNameTaken (a file holds a folder entry's name) and srSameName (an earlier entry of the run has
// the name the file system folds this one's into).
enum class TSkipReason {
  srBadPassword,
  srNoOverwrite,
  srFileOpenError,
  srCreateError,
  srUnknownMethod,
  srReadOnly,
  srNameTaken,
  srSameName
};
// mmBlocks: numbered files of fixed size; mmSpan: one file per removable disk, known by its label.
enum class TMultiMode { mmNone, mmSpan, mmBlocks };

using TStartUnZipInfoEvent = std::function<void(int NumFiles, std::int64_t TotalBytes, bool& StopNow)>;
using TPercentDoneEvent = std::function<void(int Percent)>;
using TStartUnZipEvent = std::function<void(int FileIndex, std::string& FName, bool& Skip)>;
using TEndUnZipEvent = std::function<void(int FileIndex, const std::string& FName)>;
using TPromptForOverwriteEvent = std::function<void(bool& OverWriteIt, int FileIndex, std::string& FName)>;
using TSkippingFileEvent =
    std::function<void(TSkipReason Reason, const std::string& FName, int FileIndex, bool& Retry)>;
using TBadPasswordEvent = std::function<void(int FileIndex, std::string& NewPassword)>;
using TBadCRCEvent = std::function<void(std::uint32_t CalcCRC, std::uint32_t StoredCRC, int FileIndex)>;
// Why an entry's data failed and what became of it.
enum class TDamageKind {
  dkBadCRC,   // decoded to its full size, but its CRC-32 is not the stored one
  dkBadData,  // broke its method's rules, ended early, came out longer or shorter than its size,
              // or cannot be read at all (see OnBadCRC)
};
struct TDamage {
  TDamageKind Kind = TDamageKind::dkBadData;
  // What came out before the data failed.
  std::int64_t ReadableBytes = 0;
  // Where that was kept (see DamagedMark); empty when it was not: no mark, nothing readable, or no
  // free name.
  std::string KeptName;
};
using TDamagedEvent = std::function<void(int FileIndex, const TDamage& Damage)>;
using TInCompleteZipEvent = std::function<void(TIncompleteZipMode& IncompleteMode)>;
// NextDisk is 1-based; FName comes in as the name last used and goes out as the wanted part's
// file; an empty FName cancels.
using TGetNextDisk = std::function<void(int NextDisk, std::string& FName)>;
using TUnZipCompleteEvent = std::function<void(int FileCount)>;
using TGetNextBufferEvent = std::function<void(std::uint8_t*& Buffer, const std::string& FName, int AmountUsed,
                                               int BufferNum, bool& Quit)>;
using TDecryptEvent = std::function<void(std::uint8_t* buffer, int length, const std::string& Password)>;

// The extraction module's run (zip/extraction.h), which works on the component's state.
class TExtraction;

class TZipReader {
 public:
  TZipReader();
  virtual ~TZipReader();
  TZipReader(const TZipReader&) = delete;
  TZipReader& operator=(const TZipReader&) = delete;

  // Copies the settings and every handler but OnDecrypt.
  virtual void Assign(const TZipReader& source);
  // After the settings were set up in one go: the working entry takes OEMConvert.
  virtual void Loaded();

  // ---- published properties

  int ThisVersion() const { return kThisVersion; }
  void SetThisVersion(int) {}

  // After a split archive was read this may name another part than the one given.
  const std::string& ZipName() const { return zipName_; }
  // A name ending in "?" asks for the file; another name (ignoring case) drops the directory.
  virtual void SetZipName(const std::string& value);
  const std::string& DestDir() const { return destDir_; }
  // "?" asks for the folder; one trailing "\" is removed.
  void SetDestDir(const std::string& value);
  const std::string& RootDir() const { return rootDir_; }
  // A non-empty value gets a trailing "\" unless it ends in a separator ("\" or "/").
  void SetRootDir(const std::string& value);
  TZipSortMode SortMode() const { return sortMode_; }
  // Applies when the directory is next read.
  void SetSortMode(TZipSortMode value);
  bool RecreateDirs() const { return recreateDirs_; }
  void SetRecreateDirs(bool value);
  TUZOverwriteMode OverwriteMode() const { return overwriteMode_; }
  void SetOverwriteMode(TUZOverwriteMode value);
  // Wildcard patterns of the entries to extract; emptied by every extraction run.
  classlib::TStringList& FilesList() { return filesList_; }
  const classlib::TStringList& FilesList() const { return filesList_; }
  void SetFilesList(const classlib::TStringList& value);
  bool DoAll() const { return doAll_; }
  void SetDoAll(bool value);
  TIncompleteZipMode IncompleteZipMode() const { return incompleteZipMode_; }
  void SetIncompleteZipMode(TIncompleteZipMode value);
  bool KeepZipOpen() const { return keepZipOpen_; }
  void SetKeepZipOpen(bool value);
  bool DoProcessMessages() const { return doProcessMessages_; }
  void SetDoProcessMessages(bool value);
  bool RetainAttributes() const { return retainAttributes_; }
  void SetRetainAttributes(bool value);
  bool ReplaceReadOnly() const { return replaceReadOnly_; }
  void SetReplaceReadOnly(bool value);
  // Data that failed its check never takes its entry's name. With a mark, what came out of an
  // unencrypted entry, when anything did, is kept beside the target under the target's name with
  // the mark before the extension (" (damaged)": "a (damaged).txt", else "a (damaged) 2.txt" and so
  // on, never replacing a file); empty, the default: it is not kept.
  const std::string& DamagedMark() const { return damagedMark_; }
  void SetDamagedMark(const std::string& value);
  bool FlushFilesOnClose() const { return flushFilesOnClose_; }
  void SetFlushFilesOnClose(bool value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);

  virtual bool CheckDiskLabels() const;
  virtual void SetCheckDiskLabels(bool value);
  virtual TMultiMode MultiMode() const;
  virtual void SetMultiMode(TMultiMode value);

  // ---- published events

  TStartUnZipInfoEvent OnStartUnZipInfo;
  TPercentDoneEvent OnFilePercentDone;
  TPercentDoneEvent OnTotalPercentDone;
  TStartUnZipEvent OnStartUnZip;
  TEndUnZipEvent OnEndUnZip;
  TPromptForOverwriteEvent OnPromptForOverwrite;
  TSkippingFileEvent OnSkippingFile;
  TBadPasswordEvent OnBadPassword;
  // CalcCRC 0 also for an entry whose data cannot be read at all: no local header at its offset,
  // too small for its encryption header, or lying over another entry's data or the directory.
  TBadCRCEvent OnBadCRC;
  // After every OnBadCRC: why the data failed and whether what came out of it was kept.
  TDamagedEvent OnDamaged;
  TInCompleteZipEvent OnInCompleteZip;
  // AskForDisk unless the application installs its own.
  TGetNextDisk OnGetNextDisk;
  TUnZipCompleteEvent OnUnZipComplete;
  // Offered for an extraction-to-memory mode that no operation switches on; never fired.
  TGetNextBufferEvent OnGetNextBuffer;
  // Replaces the built-in decryption.
  TDecryptEvent OnDecrypt;

  // ---- public state

  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& value);
  // Parts of the loaded or last written archive; 1 for a single file. Known as soon as the end
  // record is read.
  int DiskCount() const { return diskCount_; }
  void SetDiskCount(int value) { diskCount_ = value; }
  int MarkedCount() const { return markedCount_; }
  bool Busy() const { return busy_; }
  // Seen by the running operation the next time it pumps messages.
  void RequestCancel() { cancel_ = true; }

  // ---- entries, in the sorted view (index 0 .. EntryCount - 1; others raise EListError)

  // 0 when no directory is loaded.
  int EntryCount() const;
  std::string EntryName(int index) const;
  // Directory (ending in "\") followed by the file name.
  std::string EntryPath(int index) const;
  // The current date and time when the stored date cannot be converted.
  classlib::TDateTime EntryDate(int index) const;
  std::uint32_t EntryPackedSize(int index) const;
  std::uint32_t EntryUnpackedSize(int index) const;
  bool EntryMarked(int index) const;
  void SetEntryMarked(int index, bool value);
  std::string EntryComment(int index) const;
  void SetEntryComment(int index, const std::string& value);
  std::string ArchiveComment() const;
  void SetArchiveComment(const std::string& value);

  // ---- operations

  // Reads the directory of ZipName. Errors, an archive without an end record included, reach the
  // caller with the component cleared; OnInCompleteZip, when assigned, may ask to read again.
  void LoadDirectory();
  // Opens ZipName when no part is open and reads its directory unless the loaded one is current.
  void OpenArchive();
  // Closes the open part unless KeepZipOpen is set.
  void CloseArchive();
  // Closes the archive, drops the directory, DiskCount 1, MultiMode mmNone, empty ZipName.
  void ClearArchive();
  // Extract the entries DoAll and FilesList choose, or the marked ones, into DestDir; the count
  // of good results.
  int ExtractMatching();
  int ExtractMarked();

  // Closes the open part and opens part n (1-based) through OnGetNextDisk; ZipName then names it.
  // A part outside 1 .. DiskCount is refused with EBadZipFile; an empty name from the handler
  // raises EUserCanceled.
  THugeStream* SwitchDisk(int n);
  // True unless spanned disks are read, whose volume label must end in n as three digits.
  bool DiskLabelMatches(int n) const;
  // The default OnGetNextDisk: the numbered file of the part (empty when it does not exist), or
  // for spanned disks a question to insert the disk.
  void AskForDisk(int nextDisk, std::string& fName);

  static constexpr int kThisVersion = 300;
  static constexpr std::int32_t kFileBufferSize = 8192;

 protected:
  // Raises EZipBusy while an operation runs, else marks the component busy for its lifetime.
  class TBusyScope {
   public:
    explicit TBusyScope(TZipReader& reader);
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

   private:
    TZipReader& reader_;
  };

  // Raises EZipBusy while an operation runs.
  void CheckNotBusy() const;
  void ClearCancel() { cancel_ = false; }
  // Pumps messages when DoProcessMessages is set; a requested cancel is cleared and raised as
  // EUserCanceled.
  void CheckCancel();

  // The work of LoadDirectory and ClearArchive, for operations that are already busy.
  void ReadDirectory();
  void ResetArchive();
  // Sets ZipName without dropping the directory (the open part, a part just written).
  void SetArchiveName(const std::string& name) { zipName_ = name; }
  void ParseDirectory();
  // The recovery: entries from the local headers, once until the archive is cleared or renamed.
  bool ScanLocalHeaders();
  void ApplySortMode(TZipSortMode mode);
  // Takes the directory of an archive just written, whose last part ZipName names, as if it had
  // been read from there.
  void InstallDirectory(std::unique_ptr<TSortedZip> archiveOrder, const TEndCentral& end);
  // Drops both entry lists and the marks.
  void DropDirectory();
  // The entry at an index of the sorted view; raises EListError outside it.
  TZipHeaderInfo& Entry(int index) const;
  // Sets or clears an entry's mark, keeping MarkedCount.
  void SetMark(TZipHeaderInfo& entry, bool marked);
  // A new record with the component's OEM setting.
  std::unique_ptr<TZipHeaderInfo> NewEntry() const;
  void OpenArchiveStream(const std::string& name);

  // The archive part being read, or none.
  std::unique_ptr<TLFNFileStream> archiveStream_;
  // 0-based number of the part archiveStream_ has (or last had) open.
  int currentPart_ = 0;
  // The date of the archive file when its directory was read; 0 when none is loaded.
  classlib::TDateTime archiveDate_ = 0;
  // Owns the entries, in archive order; null when no directory is loaded.
  std::unique_ptr<TSortedZip> archiveOrder_;
  // The entries in SortMode order, not owning; null when that is archive order.
  std::unique_ptr<TSortedZip> separateView_;
  TSortedZip* SortedView() const { return separateView_ ? separateView_.get() : archiveOrder_.get(); }
  TEndCentral endCentral_;
  // The entry being extracted or written.
  TZipHeaderInfo workingEntry_;
  TZipCipher cipher_;
  std::uint32_t crc_ = 0xFFFFFFFF;
  std::int64_t totalBytes_ = 0;
  std::int64_t doneBytes_ = 0;

  // The settings behind the properties, which a run of the component itself may change while
  // busy (say, keep the archive open for the run and restore the caller's choice afterwards).
  std::string destDir_;
  std::string rootDir_;
  TZipSortMode sortMode_ = TZipSortMode::ByNone;
  bool recreateDirs_ = false;
  TUZOverwriteMode overwriteMode_ = TUZOverwriteMode::Prompt;
  classlib::TStringList filesList_;
  bool doAll_ = false;
  TIncompleteZipMode incompleteZipMode_ = TIncompleteZipMode::izAssumeMulti;
  bool keepZipOpen_ = false;
  bool doProcessMessages_ = true;
  bool retainAttributes_ = true;
  std::string damagedMark_;
  bool replaceReadOnly_ = false;
  bool flushFilesOnClose_ = false;
  bool oemConvert_ = true;
  bool checkDiskLabels_ = true;
  TMultiMode multiMode_ = TMultiMode::mmNone;

  std::string password_;

 private:
  friend class TExtraction;
  friend int RunExtraction(TZipReader& reader, bool markedOnly);

  // Installed by the constructor; recognised by Assign, which installs its own instead.

  struct TDefaultDiskHandler {
    TZipReader* reader;
    void operator()(int nextDisk, std::string& fName) const { reader->AskForDisk(nextDisk, fName); }
  };

  int Extract(bool markedOnly);
  // The end record and the archive comment; false when there is none (or an impossible one).
  bool FindEndRecord(THugeStream& stream);
  // The central records into the lists; false when the directory is damaged.
  bool ReadCentralRecords(THugeStream*& stream, bool fromConfigFile);
  // After a damaged directory: the recovery scan, or EBadZipFile when it cannot run.
  void RecoverOrRaise();
  bool FindLocalSignature(THugeStream& stream);
  // Sets Overlaps and RegionEnd of every file entry of the loaded directory. Entries whose header
  // and data would lie over another's, as in archives built to expand without end, overlap.
  void MarkOverlappingEntries();
  // The next-part step of a central record cut by the end of a part; null after the last part.
  THugeStream* NextPart();
  void DetectMultiMode();

  std::string zipName_;
  int diskCount_ = 1;
  int markedCount_ = 0;
  bool cancel_ = false;
  bool busy_ = false;
  // Set by the recovery scan: central records are merged into the scanned entries.
  bool merging_ = false;
};

}  // namespace zip
