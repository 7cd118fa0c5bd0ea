#include "app/form_info.h"

#include <string>

#include "app/resource_ids.h"
#include "app/system_actions.h"
#include "app/wizards/window_style.h"
#include "classlib/jpeg_image.h"
#include "update/file_version.h"

namespace app {

using classlib::Bind;

const char kWebsiteAddress[] = "http://www.example.com/orvanta/";
const char kSupportAddress[] = "support@example.com";

namespace {

constexpr int kWidth = 360;
constexpr int kPictureHeight = 96;
constexpr int kLeft = 24;
constexpr int kValueLeft = 130;
constexpr int kRow = 20;

std::string VersionCaption() {
  const update::TFileVersion v = update::OwnFileVersion();
  return "Version " + std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Release) +
         "." + std::to_string(v.Build);
}

}  // namespace

TFormInfo::TFormInfo(classlib::TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  SetCaption("Info");
  SetBorderStyle(classlib::TFormBorderStyle::bsNone);
  SetFormStyle(classlib::TFormStyle::fsStayOnTop);
  SetColor(kWhiteColor);
  SetClientSize(kWidth, kPictureHeight + 16 + 4 * kRow + 20);
  SetKeyPreview(true);
  OnKeyDown = Bind(this, &TFormInfo::FormKeyDown);

  ImageInfo = new classlib::TImage(this);
  ImageInfo->SetParent(this);
  ImageInfo->SetBounds(1, 1, kWidth - 2, kPictureHeight);
  classlib::LoadJpegResource(ImageInfo->Picture(), IDR_INFO_PICTURE);
  ImageInfo->PictureChanged();
  ImageInfo->OnClick = Bind(this, &TFormInfo::CloseClick);
  int top = kPictureHeight + 16;
  LabelVersion = NewBoldLabel(this, this, kLeft, top, VersionCaption());
  LabelVersion->SetAutoSize(false);
  LabelVersion->SetWidth(kWidth - 2 * kLeft);
  top += kRow + 6;
  LabelManufacturer = NewLabel(this, this, kLeft, top, "Hersteller");
  LabelManufacturerName = NewLabel(this, this, kValueLeft, top, "Norvex Software");
  top += kRow;
  LabelWebsite = NewLabel(this, this, kLeft, top, "Website");
  LabelWebsiteLink = NewLink(kValueLeft, top, "www.example.com/orvanta");
  LabelWebsiteLink->OnClick = Bind(this, &TFormInfo::LabelWebsiteLinkClick);
  top += kRow;
  LabelMail = NewLabel(this, this, kLeft, top, "eMail (Support)");
  LabelMailLink = NewLink(kValueLeft, top, kSupportAddress);
  LabelMailLink->OnClick = Bind(this, &TFormInfo::LabelMailLinkClick);
  for (classlib::TLabel* label : {LabelVersion, LabelManufacturer, LabelManufacturerName, LabelWebsite, LabelMail})
    label->OnClick = Bind(this, &TFormInfo::CloseClick);
  EndLoading();
}

classlib::TLabel* TFormInfo::NewLink(int left, int top, const std::string& caption) {
  classlib::TLabel* link = NewLabel(this, this, left, top, "");
  link->SetParentFont(false);
  link->Font().SetColor(kLineColor);
  link->Font().SetStyle(classlib::fsUnderline);
  link->SetCursor(classlib::TCursor::crHandPoint);
  link->SetShowAccelChar(false);
  link->SetCaption(caption);
  return link;
}

// Without a border the window keeps a frame of the product's line colour.
void TFormInfo::Paint() {
  TForm::Paint();
  const RECT r = ClientRect();
  Canvas().Brush().SetColor(kLineColor);
  Canvas().FrameRect(r);
}

void TFormInfo::CloseClick(classlib::TComponent*) { Close(); }

void TFormInfo::LabelWebsiteLinkClick(classlib::TComponent*) { System().OpenFile(kWebsiteAddress); }

void TFormInfo::LabelMailLinkClick(classlib::TComponent*) {
  System().OpenFile(std::string("mailto:") + kSupportAddress);
}

void TFormInfo::FormKeyDown(classlib::TComponent*, WORD& Key, classlib::TShiftState) {
  if (Key != VK_ESCAPE && Key != VK_RETURN) return;
  Key = 0;
  Close();
}

}  // namespace app
