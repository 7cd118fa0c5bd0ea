// The information window ("Info"): a borderless box on top of the others with the program's
// picture, its version, the maker, and links to the maker's web site and to a mail to support.
// A click on the picture or on a plain label, Escape or Return closes it.
#pragma once

#include "classlib/forms.h"
#include "classlib/stdctrls.h"

namespace app {

// The addresses behind the two links.
extern const char kWebsiteAddress[];  // opened by the shell
extern const char kSupportAddress[];  // a new mail to it

class TFormInfo : public classlib::TForm {
 public:
  explicit TFormInfo(classlib::TComponent* AOwner);

  classlib::TImage* ImageInfo;
  classlib::TLabel* LabelVersion;
  classlib::TLabel* LabelManufacturer;
  classlib::TLabel* LabelManufacturerName;
  classlib::TLabel* LabelWebsite;
  classlib::TLabel* LabelWebsiteLink;
  classlib::TLabel* LabelMail;
  classlib::TLabel* LabelMailLink;

 protected:
  void Paint() override;

 private:
  classlib::TLabel* NewLink(int left, int top, const std::string& caption);
  void CloseClick(classlib::TComponent* Sender);
  void LabelWebsiteLinkClick(classlib::TComponent* Sender);
  void LabelMailLinkClick(classlib::TComponent* Sender);
  void FormKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
};

}  // namespace app
