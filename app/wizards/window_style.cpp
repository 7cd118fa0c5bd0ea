#include "app/wizards/window_style.h"

#include "classlib/prompt.h"

namespace app {

void SetWizardFrame(classlib::TForm& form, const std::string& caption, int clientWidth, int clientHeight) {
  form.SetCaption(caption);
  form.SetBorderStyle(classlib::TFormBorderStyle::bsSingle);
  form.SetBorderIcons(classlib::biSystemMenu);
  form.SetFormStyle(classlib::TFormStyle::fsStayOnTop);
  form.SetClientSize(clientWidth, clientHeight);
  form.SetColor(kLightColor);
}

void FocusPage(classlib::TWinControl& Page, classlib::TWinControl& Forward) {
  classlib::TForm* form = Page.ParentForm();
  if (!form || !form->SelectFirst(&Page)) Forward.SetFocus();
}

int TextWidth(const classlib::TFont& font, const std::string& text) {
  HDC screen = GetDC(nullptr);
  int width = 0;
  {
    classlib::TCanvas canvas(screen);
    canvas.Font().Assign(font);
    width = canvas.TextWidth(text);
  }
  ReleaseDC(nullptr, screen);
  return width;
}

classlib::TLabel* NewLabel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                           const std::string& caption, int width) {
  auto* label = new classlib::TLabel(owner);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  if (width > 0) {
    label->SetWidth(width);
    label->SetWordWrap(true);
  }
  label->SetCaption(caption);
  return label;
}

classlib::TLabel* NewBoldLabel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                               const std::string& caption) {
  // The font first: the label takes its size from the caption in that font.
  classlib::TLabel* label = NewLabel(owner, parent, left, top, "");
  label->Font().SetStyle(classlib::fsBold);
  label->SetCaption(caption);
  return label;
}

controls::TVisSimplePanel* NewPanel(classlib::TComponent* owner, classlib::TWinControl* parent, classlib::TColor color,
                                    classlib::TAlign align) {
  auto* panel = new controls::TVisSimplePanel(owner);
  panel->SetParent(parent);
  panel->SetParentColor(false);
  panel->SetColor(color);
  panel->SetAlign(align);
  return panel;
}

controls::TVisSimplePanel* NewFramedPanel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                          int width, int height) {
  controls::TVisSimplePanel* panel = NewPanel(owner, parent, kWhiteColor, classlib::TAlign::alNone);
  panel->SetBounds(left, top, width, height);
  panel->Bevel().SetBorderColor(kLineColor);
  panel->Bevel().SetBorderWidth(1);
  return panel;
}

controls::TVisProgressFill* NewProgressBar(classlib::TComponent* owner, classlib::TWinControl* parent, int left,
                                           int top, int width, int height) {
  auto* bar = Place(new controls::TVisProgressFill(owner), parent, left, top, width, height);
  controls::TVisFillObject& fill = bar->FillObject();
  fill.SetStyle(controls::TVisFillStyle::sfGradient);
  fill.Gradient().SetColor(kLineColor);
  fill.Gradient().SetEndColor(kWhiteColor);
  fill.Gradient().SetColorCount(controls::kMaxGradientColors);
  fill.Brush().SetStyle(classlib::TBrushStyle::bsVertical);
  controls::TVisBevel& bevel = bar->Bevel();
  bevel.SetStyleOuter(controls::TVisBevelStyle::bvLowered);
  bevel.SetWidthOuter(0);
  bevel.SetWidthInner(0);
  bevel.SetBorderWidth(1);
  bevel.SetBorderColor(kLineColor);
  bar->SetColor(kLightColor);
  bar->SetOptionsText(controls::TVisMeterTextOptions::toNoText);
  bar->SetStep(1);
  return bar;
}

THeader NewHeader(classlib::TComponent* owner, classlib::TWinControl* parent, const std::string& title, int height) {
  controls::TVisSimplePanel* panel = NewPanel(owner, parent, kWhiteColor, classlib::TAlign::alTop);
  panel->SetHeight(height);
  classlib::TLabel* label = NewBoldLabel(owner, panel, kMargin, 10, title);
  NewPanel(owner, parent, kLineColor, classlib::TAlign::alTop)->SetHeight(1);
  return {panel, label};
}

classlib::TRadioButton* NewRadio(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width, const std::string& caption) {
  auto* radio = Place(new classlib::TRadioButton(owner), parent, left, top, width, kRadioHeight);
  radio->SetCaption(caption);
  return radio;
}

classlib::TRadioButton* NewOption(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                  int width, const std::string& caption, const std::string& explanation) {
  classlib::TRadioButton* radio = NewRadio(owner, parent, left, top, width, caption);
  NewLabel(owner, parent, left + kOptionIndent, top + kRadioHeight + 1, explanation, width - kOptionIndent);
  return radio;
}

classlib::TCheckBox* NewCheckBox(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width, const std::string& caption) {
  auto* box = Place(new classlib::TCheckBox(owner), parent, left, top, width, kRadioHeight);
  box->SetCaption(caption);
  return box;
}

controls::TFlatEdit* NewFlatEdit(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width) {
  auto* edit = Place(new controls::TFlatEdit(owner), parent, left, top, width, kEditHeight);
  edit->SetColorBorder(kLineColor);
  edit->SetColorFlat(kLightColor);
  edit->SetColorFocused(kLightColor);
  return edit;
}

void SetFlatEditEnabled(controls::TFlatEdit& edit, bool enabled) {
  edit.SetEnabled(enabled);
  edit.SetColorFlat(enabled ? kLightColor : kWhiteColor);
  edit.SetColorFocused(enabled ? kLightColor : kWhiteColor);
}

controls::TFlatButton* NewFlatButton(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                     const std::string& caption, int width) {
  auto* button = Place(new controls::TFlatButton(owner), parent, left, top, width, kButtonHeight);
  button->SetCaption(caption);
  button->SetColor(kWhiteColor);
  button->SetColorBorder(kLineColor);
  button->SetColorHighLight(kLineColor);
  button->SetColorShadow(kLineColor);
  button->SetColorFocused(kLightColor);
  button->SetColorDown(kPressedColor);
  return button;
}

controls::TDateCalendar* NewDateCalendar(classlib::TComponent* owner, classlib::TWinControl* parent, int left,
                                         int top, int width, int height) {
  auto* calendar = Place(new controls::TDateCalendar(owner), parent, left, top, width, height);
  calendar->SetCaption4Year("Monat auswählen");
  calendar->SetStartOfWeek(controls::TDayOfWeek::Monday);
  calendar->SetViewStyle(controls::TCalendarView::cvMonthView);
  calendar->SetOptions(controls::coAllowViewChange | controls::coPerformTrailingDay | controls::coShowTrailingDays |
                       controls::coShowHorzLines | controls::coShowHeading | controls::coAcceptHoliday |
                       controls::coShowFocusRect | controls::coShowFrame | controls::coShowCellFrames |
                       controls::coShowWeekNumbers | controls::coShowNavButtons | controls::coShowTitle);
  controls::TDateCalendarColors& colors = calendar->Colors();
  colors.SetBackColor(kLineColor);
  colors.SetTextColor(classlib::clWhite);
  colors.SetTitleBackColor(kCalendarTitleColor);
  colors.SetMonthBackColor(kCalendarTitleColor);
  colors.SetTrailingTextColor(classlib::clWhite);
  colors.SetTodaysColor(kLineColor);
  colors.SetTodaysBorderColor(kCalendarHoverColor);
  colors.SetSelectedBorderColor(kLightColor);
  colors.SetSelectedColor(kCalendarTitleColor);
  colors.SetFlyByColor(kCalendarHoverColor);
  return calendar;
}

namespace {

void Tell(const std::string& text, classlib::PromptIcon icon, bool systemModal) {
  classlib::MessageRequest request;
  request.text = text;
  request.caption = "Orvanta";
  request.icon = icon;
  request.systemModal = systemModal;
  classlib::Prompts().Message(request);
}

}  // namespace

void Warn(const std::string& text, bool systemModal) { Tell(text, classlib::PromptIcon::Warning, systemModal); }

void Inform(const std::string& text) { Tell(text, classlib::PromptIcon::Information, false); }

}  // namespace app
