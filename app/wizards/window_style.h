// The product's look, shared by its windows: dark blue frames and lines on light and white
// backgrounds, a white band with a bold title at the top of a window, and helpers that place a
// control, so a window's constructor reads as the list of its controls from top to bottom.
#pragma once

#include <string>

#include "classlib/controls.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/stdctrls.h"
#include "controls/flat/date_calendar.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_edit.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

constexpr classlib::TColor kLineColor = 0x996633;
constexpr classlib::TColor kLightColor = 0xF5DEDE;
constexpr classlib::TColor kWhiteColor = classlib::clWhite;
// A flat button while it is pressed.
constexpr classlib::TColor kPressedColor = 0xECEBEA;
// The calendar's heading and selected day, and its hovered buttons and today's frame.
constexpr classlib::TColor kCalendarTitleColor = 0xC8A38A;
constexpr classlib::TColor kCalendarHoverColor = 0xE9C7B4;

// Sizes of the standard controls at 96 DPI.
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
// A button whose caption is longer than a word or two ("Einstellungen", "Durchsuchen..."): room
// for the text and the margins beside it.
constexpr int kLongCaptionButtonWidth = 100;
constexpr int kRadioHeight = 17;
constexpr int kEditHeight = 21;
constexpr int kMargin = 12;
constexpr int kOptionIndent = 17;
constexpr int kOptionStep = 38;

// A wizard's frame: the caption, a fixed border with only the close box, on top of the other
// windows, the light background, the client size.
void SetWizardFrame(classlib::TForm& form, const std::string& caption, int clientWidth, int clientHeight);

// A wizard has shown Page: the focus goes to the page's first control, or to the forward button
// when the page has none, so that Return moves on from every page.
void FocusPage(classlib::TWinControl& Page, classlib::TWinControl& Forward);

// Gives the control its parent and bounds and returns it.
template <typename T>
T* Place(T* control, classlib::TWinControl* parent, int left, int top, int width, int height) {
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A label as wide as its text; a positive width makes it that wide and wraps the text.
classlib::TLabel* NewLabel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                           const std::string& caption, int width = 0);
classlib::TLabel* NewBoldLabel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                               const std::string& caption);
// A panel without frame in the given colour, aligned as asked.
controls::TVisSimplePanel* NewPanel(classlib::TComponent* owner, classlib::TWinControl* parent, classlib::TColor color,
                                    classlib::TAlign align);
// A white panel framed by a line.
controls::TVisSimplePanel* NewFramedPanel(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                          int width, int height);
// A progress bar: a gradient from the line colour to white on the light colour, in a ring of the
// line colour.
controls::TVisProgressFill* NewProgressBar(classlib::TComponent* owner, classlib::TWinControl* parent, int left,
                                           int top, int width, int height);
// The white band at the top of a window with its bold title; the window adds its text below the
// title at kHeaderTextLeft, kHeaderTextTop. A line ends the band.
struct THeader {
  controls::TVisSimplePanel* Panel;
  classlib::TLabel* Title;
};
THeader NewHeader(classlib::TComponent* owner, classlib::TWinControl* parent, const std::string& title, int height);
constexpr int kHeaderTextLeft = 24;
constexpr int kHeaderTextTop = 28;
classlib::TRadioButton* NewRadio(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width, const std::string& caption);
// An option: the radio button and, below it, the sentence that explains it; the next option
// stands kOptionStep lower.
classlib::TRadioButton* NewOption(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                  int width, const std::string& caption, const std::string& explanation);
classlib::TCheckBox* NewCheckBox(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width, const std::string& caption);
// A flat edit on the light colour, focused or not, framed by a line.
controls::TFlatEdit* NewFlatEdit(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                 int width);
// Switches a flat edit of NewFlatEdit on or off; off, it shows white in place of the light colour,
// so that it looks off also while empty (the system greys only its text).
void SetFlatEditEnabled(controls::TFlatEdit& edit, bool enabled);
controls::TFlatButton* NewFlatButton(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                     const std::string& caption, int width = kButtonWidth);
// The date picker in the product's blues: a month with week numbers from Monday, the year a click
// on the title away.
controls::TDateCalendar* NewDateCalendar(classlib::TComponent* owner, classlib::TWinControl* parent, int left,
                                         int top, int width, int height);

// The width of text in font on the screen.
int TextWidth(const classlib::TFont& font, const std::string& text);

// The product's warning box: caption "Orvanta", exclamation mark, OK.
void Warn(const std::string& text, bool systemModal = false);
// The product's note: caption "Orvanta", information sign, OK.
void Inform(const std::string& text);

}  // namespace app
