#include "app/wizards/form_recover.h"

#include "app/wizards/window_style.h"

namespace app {

namespace {

constexpr int kWidth = 400;
constexpr int kHeaderHeight = 72;

}  // namespace

TFormRecover::TFormRecover(classlib::TComponent* AOwner) : TChoiceForm(AOwner) {
  BeginLoading();
  SetClientSize(kWidth, kHeaderHeight + 1 + 90);

  const THeader header = NewHeader(this, this, "Sicherung nachholen", kHeaderHeight);
  LabelInfo = NewLabel(this, header.Panel, kHeaderTextLeft, kHeaderTextTop, "", kWidth - kHeaderTextLeft - kMargin);

  PanelMain = NewPanel(this, this, kLightColor, classlib::TAlign::alClient);
  NewLabel(this, PanelMain, kMargin, 19, "Aktionsauswahl:");
  FlatComboBoxRecover =
      Place(new controls::TFlatComboBox(this), PanelMain, 110, 16, kWidth - 110 - kMargin, kEditHeight);
  FlatComboBoxRecover->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  FlatComboBoxRecover->SetColorBorder(kLineColor);
  FlatComboBoxRecover->SetColorArrowBackground(kLightColor);
  FlatComboBoxRecover->Items().Add("Sicherung jetzt nachholen");
  FlatComboBoxRecover->Items().Add("Sicherung nicht nachholen");
  FlatComboBoxRecover->SetItemIndex(kRecoverNow);

  AddButtons(PanelMain, kWidth - kMargin, 53);
  EndLoading();
}

}  // namespace app
