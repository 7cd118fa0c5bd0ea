#include "controls/flat/flat_edit.h"

#include <algorithm>

namespace controls {

using classlib::TColor;
using classlib::TMessage;

namespace {

constexpr int kFrame = 3;

}  // namespace

TFlatEdit::TFlatEdit(classlib::TComponent* AOwner) : TEdit(AOwner) {
  SetBounds(0, 0, 121, 19);
  RedrawFrame();
}

void TFlatEdit::CreateParams(classlib::TCreateParams& p) {
  TEdit::CreateParams(p);
  // The frame is ours.
  p.Style &= ~static_cast<DWORD>(WS_BORDER);
  p.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TFlatEdit::CreateWnd() {
  TEdit::CreateWnd();
  // The window was sized before it was ours: let it ask for its frame again.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFlatEdit::Loaded() {
  TEdit::Loaded();
  AdjustHeight();
}

void TFlatEdit::AdjustHeight() { SetHeight(ReadFontMetrics(Font()).tmHeight + 2 * kFrame); }

void TFlatEdit::SetColorFocused(TColor value) {
  colorFocused_ = value;
  RedrawFrame();
}

void TFlatEdit::SetColorBorder(TColor value) {
  colorBorder_ = value;
  RedrawFrame();
}

void TFlatEdit::SetColorFlat(TColor value) {
  colorFlat_ = value;
  parentColor_ = false;
  RedrawFrame();
}

void TFlatEdit::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && Parent()) {
    colorFlat_ = Parent()->Color();
    RedrawFrame();
  }
}

void TFlatEdit::SetAdvColorFocused(TAdvColors value) {
  advColorFocused_ = std::clamp(value, 0, 100);
  if (!useAdvColors_) return;
  DeriveAdvColors();
  RedrawFrame();
}

void TFlatEdit::SetAdvColorBorder(TAdvColors value) {
  advColorBorder_ = std::clamp(value, 0, 100);
  if (!useAdvColors_) return;
  DeriveAdvColors();
  RedrawFrame();
}

void TFlatEdit::SetUseAdvColors(bool value) {
  if (value == useAdvColors_) return;
  useAdvColors_ = value;
  SetParentColor(value);
  DeriveAdvColors();
  RedrawFrame();
}

void TFlatEdit::DeriveAdvColors() {
  if (!useAdvColors_) return;
  colorFocused_ = DeriveAdvColor(colorFlat_, colorFocused_, advColorFocused_, false);
  colorBorder_ = DeriveAdvColor(colorFlat_, colorBorder_, advColorBorder_, true);
}

void TFlatEdit::SetParent(classlib::TWinControl* AParent) {
  TEdit::SetParent(AParent);
  ParentColorChanged();
}

void TFlatEdit::ParentColorChanged() {
  if (!Parent() || !(useAdvColors_ || parentColor_)) return;
  colorFlat_ = Parent()->Color();
  DeriveAdvColors();
  RedrawFrame();
}

bool TFlatEdit::ActiveLook() const {
  if (Focused()) return true;
  // Another flat edit with the focus keeps the look for itself.
  const auto* focused = dynamic_cast<TFlatEdit*>(classlib::TWinControl::FindControl(GetFocus()));
  return hovered_ && !focused;
}

void TFlatEdit::ShowLook() {
  // Equal colours change nothing, so painting the frame never asks for a paint again.
  SetColor(ActiveLook() ? colorFocused_ : colorFlat_);
}

void TFlatEdit::PaintFrame(HDC dc) {
  ShowLook();
  const TColor inside = Color();
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  classlib::TCanvas canvas(dc);
  canvas.Brush().SetColor(colorBorder_);
  canvas.FrameRect(r);
  canvas.Brush().SetColor(inside);
  for (int i = 1; i < kFrame; ++i) {
    InflateRect(&r, -1, -1);
    canvas.FrameRect(r);
  }
}

void TFlatEdit::RedrawFrame() {
  if (!HandleAllocated()) {
    ShowLook();
    return;
  }
  HDC dc = GetWindowDC(Handle());
  PaintFrame(dc);
  ReleaseDC(Handle(), dc);
}

// The frame and the text into dc, as WM_PRINT asks: what the frame covers is not a client's.
void TFlatEdit::PrintWindow(HDC dc, LPARAM flags) {
  if (flags & PRF_NONCLIENT) PaintFrame(dc);
  if (!(flags & PRF_CLIENT)) return;
  RECT window;
  GetWindowRect(Handle(), &window);
  POINT origin = {0, 0};
  ::ClientToScreen(Handle(), &origin);
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, origin.x - window.left, origin.y - window.top, nullptr);
  SendMessageW(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags & (PRF_CLIENT | PRF_ERASEBKGND));
  RestoreDC(dc, saved);
}

void TFlatEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_PRINT) {
    PrintWindow(reinterpret_cast<HDC>(m.WParam), m.LParam);
    return;
  }
  TEdit::WndProc(m);
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      RECT* client = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(m.LParam);
      InflateRect(client, -kFrame, -kFrame);
      break;
    }
    case WM_NCPAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case classlib::CM_ENABLEDCHANGED:
      RedrawFrame();
      break;
    case classlib::CM_MOUSEENTER:
      if (GetActiveWindow()) {
        hovered_ = true;
        RedrawFrame();
      }
      break;
    case classlib::CM_MOUSELEAVE:
      hovered_ = false;
      RedrawFrame();
      break;
    case classlib::CM_FONTCHANGED:
      AdjustHeight();
      break;
    case classlib::CM_SYSCOLORCHANGE:
    case classlib::CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      RedrawFrame();
      break;
    default:
      break;
  }
}

}  // namespace controls
