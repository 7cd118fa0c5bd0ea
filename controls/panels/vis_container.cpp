#include "controls/panels/vis_container.h"

#include <algorithm>
#include <typeinfo>

#include "classlib/format.h"
#include "controls/panels/vis_streams.h"

namespace controls {

using classlib::EReadError;
using classlib::TStream;

namespace {

const char* const kSignatures[] = {"VISIML30", "VISBML30", "VISWVL30", "VISSLL30", "VISGLL50", "VISRTL50"};
const char* const kExtensions[] = {"iml", "bmp", "wav", "txt", "*", "rtf"};
constexpr std::int64_t kSignatureSize = 9;

bool KnownKind(int kind) { return kind >= lkImageList && kind <= lkRichTextList; }

std::string CannotOpen(const std::string& named, const std::string& detail) {
  return classlib::Format("%s: %s", classlib::Format("Datei %s kann nicht geöffnet werden", named.c_str()).c_str(),
                          detail.c_str());
}

// A file of another kind: its name, then the whole path.
std::string WrongKind(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("\\/");
  return CannotOpen(slash == std::string::npos ? fileName : fileName.substr(slash + 1), fileName);
}

// The kind named by the signature at the stream's position; the stream is left after it.
int ReadKind(TStream& stream) {
  if (stream.Remaining() < kSignatureSize) return kUnknownContainer;
  const std::string signature = ReadShortStr(stream);
  for (int kind = lkImageList; kind <= lkRichTextList; ++kind)
    if (signature == kSignatures[kind]) return kind;
  return kUnknownContainer;
}

// An item count and, WithIndex, its position table: each position must lie behind the table and
// inside the stream.
std::int32_t ReadCount(TStream& stream, bool withIndex, std::vector<std::int32_t>* positions) {
  const std::int32_t count = ReadInt(stream);
  // Every item takes at least its flags byte, and a position when indexed.
  if (count < 0 || count > stream.Remaining() / (withIndex ? 5 : 1)) throw EReadError("Ungültige Anzahl von Einträgen");
  if (!withIndex) return count;
  const std::int64_t tableEnd = stream.Position() + 4 * static_cast<std::int64_t>(count);
  const std::int64_t size = stream.Size();
  std::vector<std::int32_t> table(static_cast<size_t>(count));
  for (std::int32_t& position : table) {
    position = ReadInt(stream);
    if (position < tableEnd || position >= size) throw EReadError("Ungültige Position eines Eintrags");
  }
  if (positions) *positions = std::move(table);
  return count;
}

}  // namespace

std::string ContainerSignature(int Kind) { return KnownKind(Kind) ? kSignatures[Kind] : std::string(); }

std::string ContainerFileExt(int Kind, bool Dot) {
  if (!KnownKind(Kind)) return {};
  return (Dot ? "." : "") + std::string(kExtensions[Kind]);
}

int SavePixelFormatKind(TVisSavePixelFormat Format) {
  switch (Format) {
    case TVisSavePixelFormat::spfMono:
      return 2;
    case TVisSavePixelFormat::spf4bit:
      return 16;
    case TVisSavePixelFormat::spf8bit:
      return 256;
    default:
      return -1;
  }
}

void TVisListItem::SetDescription(const std::string& Value) {
  if (Value == description_) return;
  description_ = Value;
  Change();
}

void TVisListItem::SetIdent(std::uint16_t Value) {
  if (Value == ident_) return;
  ident_ = Value;
  Change();
}

TVisCustomContainer* TVisListItem::Container() const { return dynamic_cast<TVisCustomContainer*>(Owner()); }

std::uint8_t TVisListItem::GetFlags() const {
  std::uint8_t flags = compressed_ ? kItemCompressed : 0;
  if (!description_.empty()) flags |= kItemDescription;
  if (ident_ != 0) flags |= kItemIdent;
  return flags;
}

void TVisListItem::WriteToStream(TStream& Stream) const {
  const std::uint8_t flags = GetFlags();
  WriteByte(Stream, flags);
  if (flags & kItemDescription) WriteShortStr(Stream, description_);
  if (flags & kItemIdent) WriteInt(Stream, ident_);
  WriteData(Stream);
}

void TVisListItem::ReadFromStream(TStream& Stream) {
  const std::uint8_t flags = ReadByte(Stream);
  const std::string description = flags & kItemDescription ? ReadShortStr(Stream) : std::string();
  std::int32_t ident = 0;
  if (flags & kItemIdent) {
    ident = ReadInt(Stream);
    if (ident < 0 || ident > 0xFFFF) throw EReadError("Ungültige Kennung eines Eintrags");
  }
  // The kind's data first: a damaged record leaves the item as it was.
  BeginUpdate();
  try {
    ReadData(Stream, flags);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  compressed_ = flags & kItemCompressed;
  description_ = description;
  ident_ = static_cast<std::uint16_t>(ident);
  EndUpdate(true);
}

void TVisListItem::Change() {
  TVisCustomComponent::Change();
  if (Updating()) return;
  TVisCustomContainer* container = Container();
  if (!container || container->Updating()) return;
  // The controls that draw the item hear of it too, not only the list's own handler.
  container->ChangeClients();
  if (container->OnChange) container->OnChange(this);
}

void TVisListItem::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisListItem*>(&Source);
  if (!other || typeid(*other) != typeid(*this)) {
    TVisCustomComponent::Assign(Source);
    return;
  }
  BeginUpdate();
  description_ = other->description_;
  ident_ = other->ident_;
  compressed_ = other->compressed_;
  AssignData(*other);
  EndUpdate(true);
}

TVisCustomContainer::TVisCustomContainer(classlib::TComponent* AOwner, int Kind)
    : TVisBaseContainer(AOwner), kind_(Kind) {}

TVisCustomContainer::~TVisCustomContainer() {
  BeginDestroy();
  items_.clear();
}

TVisListItem* TVisCustomContainer::Item(int Index) const {
  if (Index < 0 || Index >= Count())
    throw classlib::EListError(classlib::Format("Listenindex überschreitet das Maximum (%d)", Index));
  return items_[static_cast<size_t>(Index)];
}

TVisListItem* TVisCustomContainer::Add() {
  TVisListItem* item = NewItem();
  item->SetCompressed(defaultCompressed_);
  Add(item);
  return item;
}

void TVisCustomContainer::Add(TVisListItem* Item) {
  if (!Item || Item->Owner() != this) throw classlib::EInvalidOperation("Der Eintrag gehört nicht zu dieser Liste");
  if (std::find(items_.begin(), items_.end(), Item) == items_.end()) items_.push_back(Item);
  Change();
}

void TVisCustomContainer::Clear() {
  // Each item leaves the list through Notification as it goes.
  while (!items_.empty()) delete items_.back();
  Change();
}

void TVisCustomContainer::Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) {
  TVisBaseContainer::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove)
    items_.erase(std::remove(items_.begin(), items_.end(), AComponent), items_.end());
}

void TVisCustomContainer::AssignSettings(const TVisCustomContainer& Source) {
  defaultCompressed_ = Source.defaultCompressed_;
}

void TVisCustomContainer::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisCustomContainer*>(&Source);
  if (!other || typeid(*other) != typeid(*this)) {
    TVisBaseContainer::Assign(Source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    AssignSettings(*other);
    for (TVisListItem* source : other->items_) {
      TVisListItem* item = NewItem();
      items_.push_back(item);
      item->Assign(*source);
    }
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TVisCustomContainer::SaveToStream(TStream& Stream, bool WithIndex) const {
  WriteInt(Stream, Count());
  if (!WithIndex || items_.empty()) {
    for (TVisListItem* item : items_) item->WriteToStream(Stream);
    return;
  }
  const std::int64_t table = Stream.Position();
  for (size_t i = 0; i < items_.size(); ++i) WriteInt(Stream, 0);
  std::vector<std::int64_t> positions;
  for (TVisListItem* item : items_) {
    positions.push_back(Stream.Position());
    item->WriteToStream(Stream);
  }
  const std::int64_t end = Stream.Position();
  if (end > 0x7FFFFFFF) throw classlib::EWriteError("Die Containerdatei ist zu groß");
  Stream.SetPosition(table);
  for (std::int64_t position : positions) WriteInt(Stream, static_cast<std::int32_t>(position));
  Stream.SetPosition(end);
}

void TVisCustomContainer::LoadFromStream(TStream& Stream, bool WithIndex) {
  // Read beside the list, so that a damaged stream leaves the items as they were.
  std::vector<std::unique_ptr<TVisListItem>> loaded;
  BeginUpdate();
  try {
    const std::int32_t count = ReadCount(Stream, WithIndex, nullptr);
    for (std::int32_t i = 0; i < count; ++i) {
      loaded.emplace_back(NewItem());
      loaded.back()->ReadFromStream(Stream);
    }
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  Clear();
  for (auto& item : loaded) items_.push_back(item.release());
  EndUpdate(true);
}

void TVisCustomContainer::SaveToFile(const std::string& FileName) const {
  classlib::TMemoryStream data;
  WriteShortStr(data, kSignatures[kind_]);
  SaveToStream(data, true);
  data.SaveToFile(FileName);
}

void TVisCustomContainer::LoadFromFile(const std::string& FileName) {
  classlib::TMemoryStream data;
  data.LoadFromFile(FileName);
  if (ReadKind(data) != kind_) throw classlib::EFOpenError(WrongKind(FileName));
  LoadFromStream(data, true);
}

int GetContainerFileInfo(const std::string& FileName, std::int32_t& Count, std::vector<std::int32_t>* Positions) {
  classlib::TFileStream file(FileName, classlib::TFileMode::fmOpenRead);
  Count = 0;
  const int kind = ReadKind(file);
  if (kind == kUnknownContainer) return kind;
  Count = ReadCount(file, true, Positions);
  return kind;
}

void LoadItemFromFile(const std::string& FileName, int Kind, const std::vector<std::int32_t>* Positions,
                      TVisListItem& Item, int Index) {
  std::vector<std::int32_t> own;
  if (!Positions) {
    std::int32_t count = 0;
    if (GetContainerFileInfo(FileName, count, &own) != Kind)
      throw classlib::EFOpenError(WrongKind(FileName));
    Positions = &own;
  }
  if (Index < 0 || static_cast<size_t>(Index) >= Positions->size())
    throw classlib::EFOpenError(CannotOpen(FileName, classlib::Format("Eintrag %d fehlt", Index)));
  classlib::TFileStream file(FileName, classlib::TFileMode::fmOpenRead);
  const std::int32_t position = (*Positions)[static_cast<size_t>(Index)];
  if (position < 0 || position >= file.Size())
    throw classlib::EFOpenError(CannotOpen(FileName, classlib::Format("Eintrag %d fehlt", Index)));
  file.SetPosition(position);
  Item.ReadFromStream(file);
}

void TVisStringListItem::SetItems(const classlib::TStringList& Value) {
  items_ = Value;
  Change();
}

void TVisStringListItem::WriteData(TStream& Stream) const { WriteStrings(Stream, items_, Compressed()); }

void TVisStringListItem::ReadData(TStream& Stream, std::uint8_t Flags) {
  classlib::TStringList lines;
  ReadStrings(Stream, lines, Flags & kItemCompressed);
  SetItems(lines);
}

void TVisStringListItem::AssignData(const TVisListItem& Source) {
  SetItems(static_cast<const TVisStringListItem&>(Source).items_);
}

TVisWaveListItem::TVisWaveListItem(classlib::TComponent* AOwner) : TVisListItem(AOwner) {
  wave_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
}

void TVisWaveListItem::WriteData(TStream& Stream) const { WriteWave(Stream, wave_, Compressed()); }

void TVisWaveListItem::ReadData(TStream& Stream, std::uint8_t Flags) {
  ReadWave(Stream, wave_, Flags & kItemCompressed);
}

void TVisWaveListItem::AssignData(const TVisListItem& Source) {
  wave_.Assign(static_cast<const TVisWaveListItem&>(Source).wave_);
}

TVisStringListItem* TVisStringList::Item(int Index) const {
  return static_cast<TVisStringListItem*>(TVisCustomContainer::Item(Index));
}

TVisWaveListItem* TVisWaveList::Item(int Index) const {
  return static_cast<TVisWaveListItem*>(TVisCustomContainer::Item(Index));
}

}  // namespace controls
