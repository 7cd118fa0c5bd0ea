#include "controls/flat/flat_combo_box.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace controls {

using classlib::TColor;
using classlib::TComboBoxStyle;
using classlib::TMessage;

namespace {

constexpr UINT_PTR kInnerEditSubclass = 0xF1A7;
constexpr int kItemHeight = 13;

void FillSolid(HDC dc, const RECT& r, TColor color) {
  classlib::TCanvas canvas(dc);
  canvas.Brush().SetColor(color);
  canvas.FillRect(r);
}

void FrameSolid(HDC dc, const RECT& r, TColor color) {
  classlib::TCanvas canvas(dc);
  canvas.Brush().SetColor(color);
  canvas.FrameRect(r);
}

void Triangle(HDC dc, const std::vector<POINT>& points, TColor color) {
  classlib::TCanvas canvas(dc);
  canvas.Pen().SetColor(color);
  canvas.Brush().SetColor(color);
  canvas.Polygon(points);
}

}  // namespace

TFlatComboBox::TFlatComboBox(classlib::TComponent* AOwner)
    : TComboBox(AOwner), systemButtonWidth_(GetSystemMetrics(SM_CXVSCROLL)) {
  SetControlStyle(ControlStyle() | classlib::csOpaque);
  SetItemHeight(kItemHeight);
}

void TFlatComboBox::SetColorArrow(TColor value) {
  colorArrow_ = value;
  Invalidate();
}

void TFlatComboBox::SetColorArrowBackground(TColor value) {
  colorArrowBackground_ = value;
  Invalidate();
}

void TFlatComboBox::SetColorBorder(TColor value) {
  colorBorder_ = value;
  Invalidate();
}

void TFlatComboBox::SetAdvColorBorder(TAdvColors value) {
  advColorBorder_ = std::clamp(value, 0, 100);
  DeriveAdvColors();
  Invalidate();
}

void TFlatComboBox::SetAdvColorArrowBackground(TAdvColors value) {
  advColorArrowBackground_ = std::clamp(value, 0, 100);
  DeriveAdvColors();
  Invalidate();
}

void TFlatComboBox::SetUseAdvColors(bool value) {
  if (value == useAdvColors_) return;
  useAdvColors_ = value;
  DeriveAdvColors();
  Invalidate();
}

void TFlatComboBox::DeriveAdvColors() {
  // Derived from the parent's colour, so there is nothing to derive before the combo has one.
  if (!useAdvColors_ || !Parent()) return;
  const TColor base = Parent()->Color();
  colorBorder_ = DeriveAdvColor(base, colorBorder_, advColorBorder_, true);
  colorArrowBackground_ = DeriveAdvColor(base, colorArrowBackground_, advColorArrowBackground_, true);
}

bool TFlatComboBox::DroppedDown() const {
  auto* self = const_cast<TFlatComboBox*>(this);
  return self->HandleAllocated() && SendMessageW(self->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

HWND TFlatComboBox::InnerEdit() const {
  auto* self = const_cast<TFlatComboBox*>(this);
  if (!self->HandleAllocated()) return nullptr;
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(self->Handle(), &info) ? info.hwndItem : nullptr;
}

void TFlatComboBox::CreateWnd() {
  TComboBox::CreateWnd();
  if (Style() == TComboBoxStyle::csDropDown)
    if (HWND edit = InnerEdit()) SetWindowSubclass(edit, InnerEditProc, kInnerEditSubclass, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TFlatComboBox::InnerEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR ref) {
  const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
  if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS)
    classlib::CallGuarded([ref] { reinterpret_cast<TFlatComboBox*>(ref)->UpdateLook(); });
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, InnerEditProc, kInnerEditSubclass);
  return result;
}

RECT TFlatComboBox::ButtonRect() const {
  return {ClientWidth() - ButtonWidth - 1, 0, Width() - 1, Height()};
}

void TFlatComboBox::UpdateLook() {
  const HWND focus = GetFocus();
  const bool active = DroppedDown() || Focused() || (focus && focus == InnerEdit());
  if (active == activeLook_) return;
  activeLook_ = active;
  RedrawFrameAndButton();
}

void TFlatComboBox::DrawFrame(HDC dc) {
  RECT r = {0, 0, Width() - (ButtonWidth + 1), Height()};
  FrameSolid(dc, r, colorBorder_);
  for (int i = 0; i < 2; ++i) {
    InflateRect(&r, -1, -1);
    FrameSolid(dc, r, Color());
  }
}

void TFlatComboBox::DrawArrowButton(HDC dc) {
  RECT r = ButtonRect();
  InflateRect(&r, 1, 0);
  FillSolid(dc, r, colorArrowBackground_);
  FrameSolid(dc, r, colorBorder_);
  const int x = r.left + (r.right - r.left) / 2, y = r.top + (r.bottom - r.top) / 2;
  // Down: the wide row above the tip; open: below it.
  const int wide = DroppedDown() ? y + 1 : y - 1, tip = DroppedDown() ? y - 1 : y + 1;
  const auto shape = [&](int dx, int dy) {
    return std::vector<POINT>{{x - 2 + dx, wide + dy}, {x + 2 + dx, wide + dy}, {x + dx, tip + dy}};
  };
  if (Enabled()) {
    Triangle(dc, shape(0, 0), colorArrow_);
  } else {
    Triangle(dc, shape(1, 1), classlib::clWhite);
    Triangle(dc, shape(0, 0), 0x808080);
  }
}

void TFlatComboBox::DrawFocusArea(HDC dc) {
  RECT client = ClientRect();
  RECT r = client;
  InflateRect(&r, -2, -3);
  r.left = r.right - ButtonWidth - 8;
  r.right -= ButtonWidth + 3;
  const bool marked = Focused() && !DroppedDown();
  FillSolid(dc, r, marked ? classlib::clHighlight : Color());
  if (!marked) return;
  InflateRect(&client, -3, -3);
  client.right -= ButtonWidth + 2;
  FrameSolid(dc, client, classlib::clHighlight);
}

void TFlatComboBox::DrawFocusArea() {
  if (!HandleAllocated() || !HasFocusArea()) return;
  HDC dc = GetDC(Handle());
  DrawFocusArea(dc);
  ReleaseDC(Handle(), dc);
}

void TFlatComboBox::RedrawFrameAndButton() {
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  DrawFrame(dc);
  DrawArrowButton(dc);
  ReleaseDC(Handle(), dc);
}

// The field and the system's painting of the text; the system's own button stays covered.
void TFlatComboBox::PaintCombo(HDC dc, const RECT& update) {
  RECT fill = update;
  fill.right = std::min<LONG>(fill.right, Width() - ButtonWidth - 4);
  FillRect(dc, &fill, ColorBrush());
  if (RectsOverlap(ButtonRect(), update)) DrawArrowButton(dc);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, ClientWidth() - systemButtonWidth_ - 2, 0, ClientWidth(), ClientHeight());
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(paint);
  RestoreDC(dc, saved);
  if (Style() == TComboBoxStyle::csDropDown) {
    if (DroppedDown()) {
      RECT r = ClientRect();
      InflateRect(&r, -2, -2);
      r.right = Width() - ButtonWidth - 3;
      FrameSolid(dc, r, classlib::clWindow);
    }
  } else {
    DrawFocusArea(dc);
  }
}

void TFlatComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      PaintCombo(dc, ps.rcPaint);
      EndPaint(Handle(), &ps);
      RedrawFrameAndButton();
      m.Result = 0;
      return;
    }
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      PaintCombo(dc, ClientRect());
      DrawFrame(dc);
      DrawArrowButton(dc);
      return;
    }
    case WM_WINDOWPOSCHANGING: {
      // The inner edit ends before the arrow button, at the size the combo is about to take.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (Style() == TComboBoxStyle::csDropDown && !(pos->flags & SWP_NOSIZE))
        if (HWND edit = InnerEdit())
          SetWindowPos(edit, nullptr, 0, 0, pos->cx - ButtonWidth - 8, Height() - 6,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      break;
    }
    case WM_KEYDOWN: {
      const std::string before = Text();
      TComboBox::WndProc(m);
      if (Text() != before) DrawFocusArea();
      return;
    }
    case classlib::CM_SYSCOLORCHANGE:
    case classlib::CM_PARENTCOLORCHANGED:
      // The combo keeps its own colour; only the derived ones follow the parent.
      DeriveAdvColors();
      Invalidate();
      return;
    default:
      break;
  }
  TComboBox::WndProc(m);
  switch (m.Msg) {
    case WM_NCPAINT:
      RedrawFrameAndButton();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      UpdateLook();
      DrawFocusArea();
      break;
    case classlib::CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE:
        case CBN_SELENDOK:
          DrawFocusArea();
          break;
        case CBN_DROPDOWN:
          DrawFocusArea();
          UpdateLook();
          break;
        case CBN_CLOSEUP: {
          RECT r = ButtonRect();
          r.left -= 2;
          InvalidateRect(Handle(), &r, FALSE);
          UpdateLook();
          break;
        }
        default:
          break;
      }
      break;
    case WM_CTLCOLORLISTBOX: {
      SetBkColor(reinterpret_cast<HDC>(m.WParam), classlib::ColorToRGB(Color()));
      listBrush_.SetColor(Color());
      m.Result = reinterpret_cast<LRESULT>(listBrush_.Handle());
      break;
    }
    case classlib::CM_ENABLEDCHANGED:
      Invalidate();
      break;
    case classlib::CM_FONTCHANGED:
      // A new font makes the window again, for its field's height; the items keep theirs.
      SetItemHeight(kItemHeight);
      RecreateWnd();
      break;
    default:
      break;
  }
}

}  // namespace controls
