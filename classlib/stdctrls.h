// The standard controls the windows are built from: labels and images (graphic controls), buttons,
// check boxes, radio buttons, edits and combo boxes over the system's classes, and panels.
#pragma once

#include <string>
#include <vector>

#include "classlib/controls.h"
#include "classlib/stringlist.h"

namespace classlib {

// "&Datei" has the accelerator d; "&&" is a plain ampersand.
bool IsAccel(wchar_t ch, const std::string& caption);

// Whether a push button acts on a CM_DIALOGKEY: Return when it is focused (LParam 1) or the
// default button, Escape when it is the cancel button.
bool IsButtonDialogKey(const TMessage& Message, bool IsDefault, bool IsCancel);

enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Fits the size to the text (the height only, with WordWrap).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // Ends the text with "..." when it does not fit.
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool value);

  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void Loaded() override;

 private:
  UINT TextFlags() const;
  void AdjustBounds();

  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool showAccelChar_ = true;
  bool endEllipsis_ = false;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  TBitmap& Picture() { return picture_; }
  // Call after drawing into Picture().
  void PictureChanged();
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);

 protected:
  void Paint() override;

 private:
  TBitmap picture_;
  bool stretch_ = false;
  bool center_ = false;
};

// A control over the system's BUTTON class: its click arrives as a notification.
class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void Clicked() { Click(); }
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);
  // Return on the form clicks the default button; Escape the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
};

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  bool Checked() const;
  // A change fires OnClick, except while loading.
  void SetChecked(bool value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Clicked() override;

 private:
  bool checked_ = false;
};

// The radio buttons of one parent are a group: checking one unchecks the others, Tab stops at the
// checked one only (at each while none is checked), and the arrow keys move to the group's next or
// previous button and check it.
class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const { return checked_; }
  // Checking fires OnClick, except while loading.
  void SetChecked(bool value);
  bool TabStop() const override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Clicked() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  void ShowCheck();
  // The buttons of the group, this one among them, in the parent's order.
  std::vector<TRadioButton*> Group() const;
  bool checked_ = false;
};

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner);

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t value);
  void SelectAll();
  void Clear() { SetText(""); }

  // The text changed, by the user or the program.
  TNotifyEvent OnChange;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Change();

 private:
  int maxLength_ = 0;
  bool readOnly_ = false;
  wchar_t passwordChar_ = 0;
};

// An edit whose text keeps a fixed form, as a time "18:00": in EditMask a '0' stands for a digit
// the user types, every other character for itself. Unfilled positions show '_'. Typed digits
// overwrite one position after the other, skipping the fixed characters; other characters are
// discarded, and a pasted or assigned text is fitted into the form the same way.
class TMaskEdit : public TEdit {
 public:
  explicit TMaskEdit(TComponent* AOwner);

  const std::string& EditMask() const { return mask_; }
  // ASCII characters only.
  void SetEditMask(const std::string& value);
  // Every digit position holds a digit.
  bool IsComplete() const;

  void WndProc(TMessage& Message) override;

 protected:
  void CreateWnd() override;

 private:
  std::string Fitted(const std::string& text) const;
  bool IsDigitPosition(size_t position) const;
  int Caret();
  void SetCaret(int position);
  // Puts the digits at the caret, position by position.
  void TypeDigits(const std::wstring& typed);
  void ClearBefore(int position);

  std::string mask_;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox;

// The item texts of a combo box; changes reach its window at once.
class TComboBoxItems {
 public:
  explicit TComboBoxItems(TComboBox& owner) : owner_(owner) {}
  int Count() const { return list_.Count(); }
  const std::string& operator[](int index) const { return list_[index]; }
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& text) const { return list_.IndexOf(text); }
  void Assign(const TStringList& list);
  const TStringList& List() const { return list_; }

 private:
  TComboBox& owner_;
  TStringList list_;
};

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  TComboBoxItems& Items() { return items_; }
  // -1 when nothing is selected.
  int ItemIndex() const;
  void SetItemIndex(int value);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value) { dropDownCount_ = value; }
  // The height of the list's items in pixels, the system's own until one is set; values below 1
  // are ignored.
  int ItemHeight() const;
  void SetItemHeight(int value);
  std::string Text() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // The selection or the edited text changed by the user.
  TNotifyEvent OnChange;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();

 private:
  friend class TComboBoxItems;
  void FillWindow();
  void ApplyItemHeight();
  int DroppedHeight() const;

  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  TComboBoxItems items_;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  int itemHeight_ = 0;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;

 private:
  int BevelExtent() const;

  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  TBevelCut bevelInner_ = TBevelCut::bvNone;
  int bevelWidth_ = 1;
  TAlignment alignment_ = TAlignment::taCenter;
};

}  // namespace classlib
