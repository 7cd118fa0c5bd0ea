#include "controls/flat/flat_tab_control.h"

#include <algorithm>

#include "classlib/stdctrls.h"
#include "classlib/wide.h"

namespace controls {

using classlib::TColor;
using classlib::TMessage;

namespace {

constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

std::string WithoutFirstAmpersand(std::string caption) {
  const size_t at = caption.find('&');
  if (at != std::string::npos) caption.erase(at, 1);
  return caption;
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

TFlatTabControl::TFlatTabControl(classlib::TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 289, 193);
  SetColor(0xE1EAEB);
  SetParentColor(true);
  // The arrow keys switch tabs while it has the focus, as on the system's tab strip.
  SetTabStop(true);
}

void TFlatTabControl::SetTabs(const classlib::TStringList& value) {
  tabs_.Clear();
  for (const std::string& caption : value) tabs_.Add(Trimmed(caption));
  activeTab_ = std::clamp(activeTab_, 0, std::max(0, tabs_.Count() - 1));
  LayoutTabs();
  Invalidate();
}

void TFlatTabControl::AddTab(const std::string& caption) {
  tabs_.Add(caption);
  LayoutTabs();
  Invalidate();
}

void TFlatTabControl::SetActiveTab(int value) {
  // Without tabs the active tab is 0, never -1.
  activeTab_ = std::clamp(value, 0, std::max(0, tabs_.Count() - 1));
  if (OnTabChanged) OnTabChanged(this);
  Invalidate();
}

void TFlatTabControl::SetTabPosition(TFlatTabPosition value) {
  if (value == tabPosition_) return;
  const int shift = value == TFlatTabPosition::tpBottom ? -tabHeight_ : tabHeight_;
  for (int i = 0; i < ControlCount(); ++i) {
    classlib::TControl* child = Controls(i);
    child->SetTop(child->Top() + shift);
  }
  tabPosition_ = value;
  LayoutTabs();
  Invalidate();
  Realign();
}

void TFlatTabControl::SetTabHeight(int value) {
  tabHeight_ = std::max(0, value);
  LayoutTabs();
  Realign();
  Invalidate();
}

void TFlatTabControl::SetTabSpacing(int value) {
  tabSpacing_ = std::max(1, value);
  LayoutTabs();
  Invalidate();
}

void TFlatTabControl::SetColorBorder(TColor value) {
  colorBorder_ = value;
  Invalidate();
}

void TFlatTabControl::SetColorUnselectedTab(TColor value) {
  colorUnselectedTab_ = value;
  Invalidate();
}

void TFlatTabControl::SetAdvColorBorder(TAdvColors value) {
  advColorBorder_ = std::clamp(value, 0, 100);
  DeriveAdvColors();
  Invalidate();
}

void TFlatTabControl::SetUseAdvColors(bool value) {
  if (value == useAdvColors_) return;
  useAdvColors_ = value;
  SetParentColor(value);
  DeriveAdvColors();
  Invalidate();
}

void TFlatTabControl::DeriveAdvColors() {
  if (useAdvColors_) colorBorder_ = DeriveAdvColor(Color(), colorBorder_, advColorBorder_, true);
}

void TFlatTabControl::Loaded() {
  TCustomControl::Loaded();
  LayoutTabs();
  Invalidate();
}

int TFlatTabControl::StripLine() const {
  return tabPosition_ == TFlatTabPosition::tpTop ? tabHeight_ : Height() - tabHeight_ - 1;
}

void TFlatTabControl::LayoutTabs() {
  tabRects_.clear();
  HDC screen = GetDC(nullptr);
  {
    classlib::TCanvas canvas(screen);
    canvas.Font().Assign(Font());
    const RECT client = ClientRect();
    int x = client.left;
    const int y = tabPosition_ == TFlatTabPosition::tpTop ? client.top : client.bottom - tabHeight_;
    for (const std::string& caption : tabs_) {
      const int width = canvas.TextWidth(WithoutFirstAmpersand(caption));
      tabRects_.push_back({x, y, x + width + 20, y + tabHeight_});
      x += width + 20 + tabSpacing_;
    }
  }
  ReleaseDC(nullptr, screen);
}

void TFlatTabControl::AdjustClientRect(RECT& r) {
  const int b = BorderWidth(), h = tabHeight_;
  if (tabPosition_ == TFlatTabPosition::tpTop)
    r = {r.left + b + 1, r.top + h + b + 1, r.right - b - 1, r.bottom - b - 1};
  else
    r = {r.left + b + 1, r.top + b + 1, r.right - b - 1, r.bottom - h - b - 1};
}

void TFlatTabControl::Paint() {
  classlib::TCanvas& canvas = Canvas();
  const int w = ClientWidth(), h = ClientHeight(), line = StripLine();
  const bool top = tabPosition_ == TFlatTabPosition::tpTop;
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(Color());
  if (tabs_.Count() == 0) {
    canvas.FillRect({0, 0, w, h});
    canvas.Brush().SetColor(colorBorder_);
    canvas.FrameRect({0, 0, w, h});
    return;
  }
  PaintParentBackground(*this, canvas);
  canvas.Pen().SetColor(colorBorder_);
  const RECT& active = tabRects_[static_cast<size_t>(activeTab_)];
  if (active.left != 0) {
    canvas.MoveTo(0, line);
    canvas.LineTo(active.left, line);
  }
  canvas.MoveTo(active.right - 1, line);
  canvas.LineTo(w, line);
  const int edge = top ? h - 1 : 0;
  canvas.Polyline({{0, line}, {0, edge}, {w - 1, edge}, {w - 1, line}});
  canvas.Brush().SetColor(Color());
  canvas.FillRect(top ? RECT{1, line + 1, w - 1, h - 1} : RECT{1, 1, w - 1, line});

  for (int i = 0; i < tabs_.Count(); ++i) {
    RECT r = tabRects_[static_cast<size_t>(i)];
    canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
    if (i == activeTab_) {
      canvas.Font().SetColor(Enabled() ? Font().Color() : colorUnselectedTab_);
      canvas.Brush().SetColor(Color());
      canvas.FillRect(top ? RECT{r.left, r.top, r.right - 1, r.bottom + 1} : RECT{r.left, r.top - 1, r.right - 1, r.bottom});
      if (top)
        canvas.Polyline({{r.left, r.bottom}, {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom}});
      else
        canvas.Polyline({{r.left, r.top - 1}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}});
    } else {
      canvas.Font().SetColor(Color());
      canvas.Brush().SetColor(colorUnselectedTab_);
      canvas.FillRect(r);
    }
    canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
    canvas.DrawText(tabs_[i], r, kCaptionFlags);
    if (i == activeTab_ && Focused()) {
      // Where the keyboard is: the arrow keys switch tabs.
      InflateRect(&r, -3, -3);
      DrawFocusRect(canvas.Handle(), &r);
    }
  }
}

void TFlatTabControl::MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  // The press's own position: the cursor may have moved on since.
  const POINT p = {X, Y};
  for (int i = 0; i < static_cast<int>(tabRects_.size()); ++i) {
    if (i == activeTab_ || !PtInRect(&tabRects_[static_cast<size_t>(i)], p)) continue;
    SetActiveTab(i);
    SetFocus();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

bool TFlatTabControl::DialogChar(wchar_t ch) {
  if (!Showing() || !Enabled()) return false;
  for (int i = 0; i < tabs_.Count(); ++i) {
    if (!classlib::IsAccel(ch, tabs_[i])) continue;
    if (i != activeTab_) SetActiveTab(i);
    SetFocus();
    return true;
  }
  // Unanswered, the character goes on to the controls on the pages.
  return false;
}

void TFlatTabControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case classlib::CM_DIALOGCHAR:
      if (tabs_.Count() > 0) {
        m.Result = DialogChar(static_cast<wchar_t>(m.WParam)) ? 1 : 0;
        return;
      }
      break;
    case WM_KEYDOWN:
      if ((m.WParam == VK_LEFT || m.WParam == VK_RIGHT) && tabs_.Count() > 0) {
        const int next = activeTab_ + (m.WParam == VK_RIGHT ? 1 : -1);
        if (next >= 0 && next < tabs_.Count()) SetActiveTab(next);
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
      LayoutTabs();
      Invalidate();
      break;
    case WM_MOVE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case classlib::CM_ENABLEDCHANGED:
      Invalidate();
      break;
    case classlib::CM_FONTCHANGED:
      LayoutTabs();
      break;
    case classlib::CM_SYSCOLORCHANGE:
    case classlib::CM_PARENTCOLORCHANGED:
      if (useAdvColors_) {
        SetParentColor(true);
        DeriveAdvColors();
      }
      Invalidate();
      break;
    default:
      break;
  }
}

}  // namespace controls
