#include "controls/panels/vis_application.h"

#include <algorithm>
#include <vector>

#include "classlib/forms.h"
#include "classlib/text.h"
#include "classlib/wide.h"
#include "controls/panels/vis_hook.h"
#include "controls/panels/vis_image_list.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_themes.h"

namespace controls {

namespace {

constexpr TVisTimerInterval kBaseTick = 50;
constexpr UINT kCheckBoxesBitmap = 32759;  // OBM_CHECKBOXES: 4 x 3 glyphs
constexpr DWORD kThemeNonClientAndControls = 3;

TVisApplication* instance = nullptr;
TVisXPThemeManager* themeManager = nullptr;
int startCount = 0;

std::string::size_type FileNameStart(const std::string& path) {
  const auto slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string::size_type ExtensionStart(const std::string& path) {
  const auto dot = path.rfind('.');
  return dot == std::string::npos || dot < FileNameStart(path) ? std::string::npos : dot;
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
  return path.substr(0, ExtensionStart(path)) + extension;
}

// Pre-order over the windowed controls whose window exists.
void SendThemeChanged(classlib::TWinControl& parent) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    auto* child = dynamic_cast<classlib::TWinControl*>(parent.Controls(i));
    if (!child) continue;
    if (child->HandleAllocated()) SendMessageW(child->Handle(), WM_THEMECHANGED, 0, 0);
    SendThemeChanged(*child);
  }
}

}  // namespace

TVisApplication::TVisApplication() : TComponent(nullptr) {
  iniCtrl_ = new TVisIniCtrl(this);
  // Named after the program file, so a second copy of the same file sees it.
  std::wstring path = classlib::Widen(ProgramFileName());
  CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  instanceMutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
  mutexExisted_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
  timerPool_ = new TVisTimerPool(this, kBaseTick);
  SetLogName("");
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency)) perfFrequency_ = frequency.QuadPart;
  MeasureCheckBox();
}

TVisApplication::~TVisApplication() {
  BeginDestroy();
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

void TVisApplication::MeasureCheckBox() {
  HBITMAP glyphs = LoadBitmapW(nullptr, MAKEINTRESOURCEW(kCheckBoxesBitmap));
  BITMAP info = {};
  if (glyphs && GetObjectW(glyphs, sizeof info, &info)) {
    checkWidth_ = info.bmWidth / 4;
    checkHeight_ = info.bmHeight / 3;
  } else {
    checkWidth_ = GetSystemMetrics(SM_CXMENUCHECK);
    checkHeight_ = GetSystemMetrics(SM_CYMENUCHECK);
  }
  if (glyphs) DeleteObject(glyphs);
}

bool TVisApplication::ThemesAvailable() const { return ThemeLibraryLoaded() && ThemeLibrary().IsThemeActive(); }

void TVisApplication::SetUseThemes(bool Value) {
  if (Value == useThemes_ || (Value && !ThemesAvailable())) return;
  useThemes_ = Value;
  if (!ThemeLibraryLoaded()) return;
  if (HWND application = classlib::Application().Handle()) SendMessageW(application, WM_THEMECHANGED, 0, 0);
  if (useThemes_)
    ThemeLibrary().SetThemeAppProperties(kThemeNonClientAndControls);
  else if (!PackOnly)
    ThemeLibrary().SetThemeAppProperties(0);
  std::vector<classlib::TForm*> forms;
  for (int i = 0; i < classlib::Screen().FormCount(); ++i) forms.push_back(classlib::Screen().Forms(i));
  for (classlib::TForm* form : forms) {
    if (!form->Visible()) continue;
    form->NotifyControls(CM_VISREDRAW);
    SendThemeChanged(*form);
    if (!PackOnly && form->HandleAllocated()) SendMessageW(form->Handle(), WM_THEMECHANGED, 0, 0);
  }
}

std::uint16_t TVisApplication::AddTimer(TVisTimerInterval Interval, TObjectEvent Handler) {
  auto free = std::find(slots_.begin(), slots_.end(), false);
  if (free == slots_.end()) return 0;
  const auto ident = static_cast<std::uint16_t>(kFirstTimerSlot + (free - slots_.begin()));
  timerPool_->AddItem(ident, Interval, std::move(Handler));
  *free = true;
  return ident;
}

void TVisApplication::RemoveTimer(std::uint16_t Ident) {
  // Other identifiers (the spin button's "none" among them) lie outside the slot table.
  if (Ident < kFirstTimerSlot || Ident > kLastTimerSlot) return;
  timerPool_->RemoveItem(Ident);
  slots_[Ident - kFirstTimerSlot] = false;
}

const classlib::TBitmap& TVisApplication::PatternBitmap(classlib::TColor Color) {
  if (pattern_ && Color == patternColor_) return *pattern_;
  if (!pattern_) {
    pattern_ = std::make_unique<classlib::TBitmap>(8, 8);
    for (int y = 0; y < 8; ++y) std::fill_n(pattern_->ScanLine(y), pattern_->RowBytes(), 0xFF);
  }
  const classlib::TColor rgb = classlib::ColorToRGB(Color);
  for (int y = 0; y < 8; ++y) {
    std::uint8_t* row = pattern_->ScanLine(y);
    for (int x = 0; x < 8; ++x) {
      if (((x ^ y) & 1) == 0) continue;
      row[x * 4] = static_cast<std::uint8_t>(rgb >> 16);
      row[x * 4 + 1] = static_cast<std::uint8_t>(rgb >> 8);
      row[x * 4 + 2] = static_cast<std::uint8_t>(rgb);
    }
  }
  patternColor_ = Color;
  return *pattern_;
}

void TVisApplication::SetLogName(const std::string& Name) {
  const std::string program = ProgramFileName();
  std::string name;
  if (Name.empty())
    name = ChangeExtension(program, ".LOG");
  else
    name = ExtensionStart(Name) == std::string::npos ? Name + ".LOG" : Name;
  logName_ = LogPrefix == TVisPathPrefix::ppFixed ? name
                                                  : CreatePathPrefix(LogPrefix, true) + name.substr(FileNameStart(name));
  // The program keeps its own log beside itself under this very name.
  if (classlib::SameTextAscii(logName_, ChangeExtension(program, ".log")))
    logName_ = ChangeExtension(logName_, ".VIS.LOG");
}

TVisApplication& VisApplication() {
  if (!instance) throw classlib::EInvalidOperation("Die Steuerelementbibliothek ist nicht gestartet");
  return *instance;
}

void StartControlLibrary() {
  if (startCount++ > 0) return;
  DetectPlatform();
  LoadThemeLibrary();
  instance = new TVisApplication();
  themeManager = new TVisXPThemeManager(nullptr);
  CreateVisContainer();
}

void StopControlLibrary() {
  if (startCount == 0 || --startCount > 0) return;
  FreeVisContainer();
  delete themeManager;
  themeManager = nullptr;
  delete instance;
  instance = nullptr;
  FreeThemeLibrary();
}

namespace {

std::string OneInstanceMessage(const std::string& className, int kind) {
  if (kind == 0) return className + ":\rInvalid owner (<>TForm) or second instance on a form";
  if (kind == 1) return className + ":\rAlready one " + className + " control in this project!";
  return {};
}

}  // namespace

VisEOneInstError::VisEOneInstError(const std::string& ClassName, int Kind)
    : classlib::Exception(OneInstanceMessage(ClassName, Kind)) {}

bool CheckSingleInstance(classlib::TComponent* Owner, const std::function<bool(const classlib::TComponent*)>& IsOfClass) {
  if (!IsOfClass) return false;
  if (!dynamic_cast<classlib::TForm*>(Owner)) return true;
  int found = 0;
  for (int i = 0; i < Owner->ComponentCount(); ++i)
    if (IsOfClass(Owner->Components(i)) && ++found > 1) return true;
  return false;
}

}  // namespace controls
