// Containers: lists of resources (bitmaps, image strips, string lists, waves) that the pack's
// controls use by index, kept as owned items, saved to and loaded from container files.
//
// A container file is a short-string signature ("VISIML30", ...), an int32 item count n, n int32
// absolute positions of the items, then the items. An item record is a flags byte (bit 0
// compressed, bit 1 a description follows as a short string, bit 2 an int32 identifier follows;
// higher bits belong to the kind), then the kind's data. Counts, positions and identifiers read
// from a file are checked, and a file that fails to load leaves the container as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "classlib/stringlist.h"
#include "controls/panels/vis_object.h"
#include "controls/panels/vis_wave.h"

namespace controls {

// The kinds of container, as their files' signatures name them; kUnknownContainer for others.
enum TVisListKind : int {
  lkImageList = 0,
  lkBitmapList = 1,
  lkWaveList = 2,
  lkStringList = 3,
  lkGeneralList = 4,
  lkRichTextList = 5,
  kUnknownContainer = 6
};

// "VISIML30", "VISBML30", "VISWVL30", "VISSLL30", "VISGLL50", "VISRTL50".
std::string ContainerSignature(int Kind);
// "iml", "bmp", "wav", "txt", "*", "rtf", with a leading "." when Dot.
std::string ContainerFileExt(int Kind, bool Dot);

// How a container's bitmap items find their bitmaps when they hold none.
enum class TVisSourceKind : std::uint8_t { skInternal, skContainerFile, skResource, skResourceLibrary, skBitmapFiles };

// How a bitmap is stored in a container: its own form, or as 1, 4 or 8 bits per pixel.
enum class TVisSavePixelFormat : std::uint8_t { spfDefault, spfMono, spf4bit, spf8bit };
// The bitmap kind of the stream helpers: -1, 2, 16, 256.
int SavePixelFormatKind(TVisSavePixelFormat Format);

// Item flags.
constexpr std::uint8_t kItemCompressed = 0x01;
constexpr std::uint8_t kItemDescription = 0x02;
constexpr std::uint8_t kItemIdent = 0x04;

class TVisCustomContainer;

class TVisListItem : public TVisCustomComponent {
 public:
  explicit TVisListItem(classlib::TComponent* AOwner) : TVisCustomComponent(AOwner) {}

  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& Value);
  std::uint16_t Ident() const { return ident_; }
  void SetIdent(std::uint16_t Value);
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool Value) { compressed_ = Value; }
  // The container that owns the item, or null.
  TVisCustomContainer* Container() const;

  virtual void Clear() = 0;
  virtual bool IsEmpty() const = 0;
  void ReadFromStream(classlib::TStream& Stream);
  void WriteToStream(classlib::TStream& Stream) const;
  virtual std::uint8_t GetFlags() const;

  // The own OnChange, then the owning container's links and its OnChange with the item as sender.
  void Change() override;
  // Description, Ident and Compressed of another item, then the kind's data.
  void Assign(const classlib::TPersistent& Source) override;

 protected:
  virtual void WriteData(classlib::TStream& Stream) const = 0;
  virtual void ReadData(classlib::TStream& Stream, std::uint8_t Flags) = 0;
  virtual void AssignData(const TVisListItem& Source) = 0;

 private:
  std::string description_;
  std::uint16_t ident_ = 0;
  bool compressed_ = false;
};

class TVisCustomContainer : public TVisBaseContainer {
 public:
  TVisCustomContainer(classlib::TComponent* AOwner, int Kind);
  ~TVisCustomContainer() override;

  int Kind() const { return kind_; }
  virtual int Count() const { return static_cast<int>(items_.size()); }
  virtual bool IsEmpty() const { return items_.empty(); }
  // EListError outside 0..Count-1.
  virtual TVisListItem* Item(int Index) const;

  // A new item of the list's class, owned here, with DefaultCompressed, appended.
  TVisListItem* Add();
  // Appends an item this container owns.
  void Add(TVisListItem* Item);
  void Clear();
  // From a container of the same class: DefaultCompressed and copies of its items.
  void Assign(const classlib::TPersistent& Source) override;

  // int32 count; WithIndex, a table of each item's absolute position; then the items.
  virtual void SaveToStream(classlib::TStream& Stream, bool WithIndex) const;
  // The reverse; on a damaged stream the container keeps its items and the error passes.
  virtual void LoadFromStream(classlib::TStream& Stream, bool WithIndex);
  // The container file: signature, then the items with their positions.
  void SaveToFile(const std::string& FileName) const;
  // Refuses a file of another kind.
  void LoadFromFile(const std::string& FileName);

  bool DefaultCompressed() const { return defaultCompressed_; }
  void SetDefaultCompressed(bool Value) { defaultCompressed_ = Value; }
  TVisSourceKind SourceKind() const { return sourceKind_; }
  void SetSourceKind(TVisSourceKind Value) { sourceKind_ = Value; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& Value) { fileName_ = Value; }

 protected:
  // An empty item of the list's class, owned by this container and not yet listed.
  virtual TVisListItem* NewItem() = 0;
  // What Assign copies besides the items.
  virtual void AssignSettings(const TVisCustomContainer& Source);
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  int kind_;
  std::vector<TVisListItem*> items_;
  bool defaultCompressed_ = false;
  TVisSourceKind sourceKind_ = TVisSourceKind::skInternal;
  std::string fileName_;
};

// The kind of a container file (kUnknownContainer when its signature is no known one), its item
// count, and for a known kind the items' positions (when Positions is given). A known kind whose
// count or positions do not fit the file raises classlib::EReadError.
int GetContainerFileInfo(const std::string& FileName, std::int32_t& Count, std::vector<std::int32_t>* Positions);
// Reads item Index of a container file into Item. Without Positions the file must be of Kind;
// with them, they come from GetContainerFileInfo of that file. A file of another kind or an index
// it does not hold raises classlib::EFOpenError.
void LoadItemFromFile(const std::string& FileName, int Kind, const std::vector<std::int32_t>* Positions,
                      TVisListItem& Item, int Index);

class TVisStringListItem : public TVisListItem {
 public:
  explicit TVisStringListItem(classlib::TComponent* AOwner) : TVisListItem(AOwner) {}

  const classlib::TStringList& Items() const { return items_; }
  // Copies the lines and notifies.
  void SetItems(const classlib::TStringList& Value);
  void Clear() override { SetItems({}); }
  bool IsEmpty() const override { return items_.Count() == 0; }

 protected:
  void WriteData(classlib::TStream& Stream) const override;
  void ReadData(classlib::TStream& Stream, std::uint8_t Flags) override;
  void AssignData(const TVisListItem& Source) override;

 private:
  classlib::TStringList items_;
};

class TVisWaveListItem : public TVisListItem {
 public:
  explicit TVisWaveListItem(classlib::TComponent* AOwner);

  TVisWave& Wave() { return wave_; }
  const TVisWave& Wave() const { return wave_; }
  void SetWave(const TVisWave& Value) { wave_.Assign(Value); }
  void Clear() override { wave_.Clear(); }
  bool IsEmpty() const override { return wave_.Empty(); }

 protected:
  void WriteData(classlib::TStream& Stream) const override;
  void ReadData(classlib::TStream& Stream, std::uint8_t Flags) override;
  void AssignData(const TVisListItem& Source) override;

 private:
  TVisWave wave_;
};

class TVisStringList : public TVisCustomContainer {
 public:
  explicit TVisStringList(classlib::TComponent* AOwner) : TVisCustomContainer(AOwner, lkStringList) {}
  TVisStringListItem* Item(int Index) const override;

 protected:
  TVisListItem* NewItem() override { return new TVisStringListItem(this); }
};

class TVisWaveList : public TVisCustomContainer {
 public:
  explicit TVisWaveList(classlib::TComponent* AOwner) : TVisCustomContainer(AOwner, lkWaveList) {}
  TVisWaveListItem* Item(int Index) const override;

 protected:
  TVisListItem* NewItem() override { return new TVisWaveListItem(this); }
};

}  // namespace controls
