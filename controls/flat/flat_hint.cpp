#include "controls/flat/flat_hint.h"

#include "classlib/forms.h"

namespace controls {

using classlib::Application;
using classlib::TColor;

namespace {

constexpr UINT kTextFlags = DT_WORDBREAK | DT_NOPREFIX;
// The arrow strip with its frame line and the text's margins.
constexpr int kStripWidth = 14;
constexpr int kExtraWidth = 22;
constexpr int kExtraHeight = 6;

// The arrow pointing up and left, from its anchor.
constexpr POINT kArrow[] = {{0, 0}, {0, 6}, {1, 6}, {1, 0}, {6, 0}, {6, 1}, {2, 1}, {2, 4}, {5, 7},
                            {6, 7}, {3, 4}, {3, 3}, {6, 6}, {7, 6}, {3, 2}, {4, 2}, {7, 5}, {7, 6}};

}  // namespace

// What the application's OnShowHint holds while a TFlatHint put it there.
struct TFlatHint::TForwardShowHint {
  TFlatHint* hint;
  void operator()(std::string& HintStr, bool& CanShow, classlib::THintInfo& HintInfo) const {
    if (hint->OnShowHint) hint->OnShowHint(HintStr, CanShow, HintInfo);
  }
};

TFlatHint::TFlatHint(classlib::TComponent* AOwner) : TComponent(AOwner) {
  Application().SetHintWindowClass([](classlib::TComponent* owner) { return new TFlatHintWindow(owner); });
  // Off and on: the next hint comes in the new window.
  Application().SetShowHint(false);
  Application().SetShowHint(true);
  Application().OnShowHint = TForwardShowHint{this};
  Application().SetHintPause(500);
  Application().SetHintShortPause(25);
  Application().SetHintHidePause(5000);
}

TFlatHint::~TFlatHint() {
  BeginDestroy();
  // The application must not call into a freed component; a handler set by others stays.
  const auto* forward = Application().OnShowHint.target<TForwardShowHint>();
  if (forward && forward->hint == this) Application().OnShowHint = nullptr;
}

TFlatHintWindow::TFlatHintWindow(classlib::TComponent* AOwner) : THintWindow(AOwner) {}

void TFlatHintWindow::CreateParams(classlib::TCreateParams& p) {
  THintWindow::CreateParams(p);
  p.Style &= ~static_cast<DWORD>(WS_BORDER);
}

TFlatHint* TFlatHintWindow::FindSettings() {
  classlib::TForm* main = Application().MainForm();
  if (!main) return nullptr;
  for (int i = 0; i < main->ComponentCount(); ++i)
    if (auto* hint = dynamic_cast<TFlatHint*>(main->Components(i))) return hint;
  return nullptr;
}

void TFlatHintWindow::Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) {
  THintWindow::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove && AComponent == settings_) settings_ = nullptr;
}

void TFlatHintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  SetCaption(AHint);
  if (settings_) settings_->RemoveFreeNotification(this);
  settings_ = FindSettings();
  if (settings_) settings_->FreeNotification(this);

  RECT r = Rect;
  r.right = r.left + Look().MaxHintWidth - kExtraWidth;
  HDC screen = GetDC(nullptr);
  {
    classlib::TCanvas canvas(screen);
    canvas.Font().Assign(HintFont());
    canvas.DrawText(AHint, r, kTextFlags | DT_CALCRECT);
  }
  ReleaseDC(nullptr, screen);
  const int w = r.right - r.left + kExtraWidth, h = r.bottom - r.top + kExtraHeight;

  POINT cursor;
  GetCursorPos(&cursor);
  const bool left = cursor.x < GetSystemMetrics(SM_CXSCREEN) / 2, top = cursor.y < GetSystemMetrics(SM_CYSCREEN) / 2;
  arrowCorner_ = top ? (left ? TArrowCorner::TopLeft : TArrowCorner::TopRight)
                     : (left ? TArrowCorner::BottomLeft : TArrowCorner::BottomRight);
  const int d = arrowCorner_ == TArrowCorner::TopLeft ? 12 : 5;
  // Right of the cursor when it is on the left half, below it when it is on the upper half.
  const int x = left ? cursor.x + d : cursor.x - w - d;
  const int y = top ? cursor.y + d : cursor.y - h - d;
  SetBounds(x, y, w, h);
  ShowOnTop();
}

void TFlatHintWindow::Paint() {
  classlib::TCanvas& canvas = Canvas();
  const TFlatHintLook look = Look();
  const RECT client = ClientRect();
  const bool stripLeft = arrowCorner_ == TArrowCorner::TopLeft || arrowCorner_ == TArrowCorner::BottomLeft;
  const bool arrowTop = arrowCorner_ == TArrowCorner::TopLeft || arrowCorner_ == TArrowCorner::TopRight;
  RECT strip, text;
  if (stripLeft) {
    strip = {client.left + 1, client.top + 1, client.left + 1 + kStripWidth, client.bottom - 1};
    text = {strip.right, client.top + 1, client.right - 1, client.bottom - 1};
  } else {
    strip = {client.right - 1 - kStripWidth, client.top + 1, client.right - 1, client.bottom - 1};
    text = {client.left + 1, client.top + 1, strip.left, client.bottom - 1};
  }
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(look.ColorArrowBackground);
  canvas.FillRect(strip);
  canvas.Brush().SetColor(look.ColorBackground);
  canvas.FillRect(text);
  canvas.Brush().SetColor(look.ColorBorder);
  canvas.FrameRect(client);

  arrowPos_ = {stripLeft ? strip.left + 2 : strip.right - 3, arrowTop ? strip.top + 2 : strip.bottom - 3};
  std::vector<POINT> arrow;
  for (const POINT& p : kArrow)
    arrow.push_back({arrowPos_.x + (stripLeft ? p.x : -p.x), arrowPos_.y + (arrowTop ? p.y : -p.y)});
  canvas.Pen().SetColor(look.ColorArrow);
  canvas.Polyline(arrow);

  canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  canvas.Font().Assign(HintFont());
  InflateRect(&text, -3, -1);
  canvas.DrawText(Caption(), text, kTextFlags);
}

}  // namespace controls
