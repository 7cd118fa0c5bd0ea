#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/comctrls.h"
#include "classlib/forms.h"
#include "classlib/gui_thread.h"
#include "classlib/menus.h"
#include "classlib/stdctrls.h"
#include "classlib/text.h"
#include "classlib/timer.h"
#include "classlib/wide.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/window_test.h"

using namespace classlib;
using testing_support::ClickAt;
using testing_support::ClickButton;
using testing_support::PaintControl;

namespace {

class WindowLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    form = new TForm(nullptr);
    form->SetCaption("Test");
    form->SetClientSize(300, 200);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    delete form;
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }
  TForm* form = nullptr;
};

TEST_F(WindowLayer, GraphicChildPaintsAtItsOffsetClippedInsideItsParent) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetBounds(10, 10, 100, 50);
  panel->SetColor(0xF5DEDE);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetColor(0x996633);
  label->SetCaption("");
  // Reaches past the panel's right edge: the part outside must not be painted.
  label->SetBounds(80, 20, 40, 10);
  form->Show();

  TBitmap pixels;
  PaintControl(*panel, pixels);
  EXPECT_EQ(pixels.Pixel(5, 5), 0xF5DEDEu);
  EXPECT_EQ(pixels.Pixel(79, 25), 0xF5DEDEu);
  EXPECT_EQ(pixels.Pixel(80, 20), 0x996633u);
  EXPECT_EQ(pixels.Pixel(99, 29), 0x996633u);
  EXPECT_EQ(pixels.Pixel(85, 30), 0xF5DEDEu);

  TBitmap formPixels;
  PaintControl(*form, formPixels);
  EXPECT_EQ(formPixels.Pixel(115, 35), 0xFFFFFFu) << "the label spilled out of its parent";
}

TEST_F(WindowLayer, ParentRoutesMouseToGraphicChildrenWithEnterAndLeave) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 50, 20);
  int clicks = 0, enters = 0, leaves = 0;
  label->OnClick = [&](TComponent* sender) {
    EXPECT_EQ(sender, label);
    ++clicks;
  };
  label->OnMouseEnter = [&](TComponent*) { ++enters; };
  label->OnMouseLeave = [&](TComponent*) { ++leaves; };
  form->Show();

  ClickAt(form->Handle(), 30, 30);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(enters, 1);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
  EXPECT_EQ(leaves, 1);
  ClickAt(form->Handle(), 200, 150);
  EXPECT_EQ(clicks, 1);

  // Pressed on the label, released elsewhere: no click.
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
  EXPECT_EQ(clicks, 1);
}

TEST_F(WindowLayer, ButtonClickReachesItsOwnHandler) {
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetCaption("&Weiter");
  int clicks = 0;
  button->OnClick = [&](TComponent*) { ++clicks; };
  form->Show();
  ClickButton(*button);
  EXPECT_EQ(clicks, 1);
}

TEST_F(WindowLayer, ExceptionInHandlerReachesErrorBoxAndProgramGoesOn) {
  auto* button = new TButton(form);
  button->SetParent(form);
  button->OnClick = [](TComponent*) { throw std::runtime_error("Datei nicht gefunden"); };
  form->Show();

  // The real handler: the error box with the program's caption.
  auto saved = Application().OnException;
  Application().OnException = nullptr;
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*button);
  Application().OnException = saved;

  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Datei nicht gefunden");
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(WindowLayer, AlignedChildrenShareTheClientAreaInsideTheBorder) {
  auto* top = new TPanel(form);
  top->SetParent(form);
  top->SetHeight(30);
  top->SetAlign(TAlign::alTop);
  auto* client = new TPanel(form);
  client->SetParent(form);
  client->SetAlign(TAlign::alClient);
  form->SetBorderWidth(5);
  form->HandleNeeded();
  EXPECT_EQ(top->BoundsRect().left, 5);
  EXPECT_EQ(top->BoundsRect().top, 5);
  EXPECT_EQ(top->Width(), 290);
  EXPECT_EQ(client->Top(), 35);
  EXPECT_EQ(client->Height(), 160);

  form->SetClientSize(400, 300);
  EXPECT_EQ(top->Width(), 390);
  EXPECT_EQ(client->Height(), 260);
  top->Hide();
  EXPECT_EQ(client->Top(), 5);
}

TEST_F(WindowLayer, ChildrenBuiltBeforeTheWindowAppearWithIt) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* edit = new TEdit(form);
  edit->SetParent(panel);
  edit->SetText("Unbenannt");
  EXPECT_FALSE(edit->HandleAllocated());
  form->Show();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(GetParent(edit->Handle()), panel->Handle());
  EXPECT_EQ(edit->Text(), "Unbenannt");
}

TEST_F(WindowLayer, RecreatedWindowKeepsChildrenAndState) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* edit = new TEdit(form);
  edit->SetParent(panel);
  auto* check = new TCheckBox(form);
  check->SetParent(panel);
  check->SetTop(30);
  form->Show();
  SetWindowTextW(edit->Handle(), L"vom Benutzer");
  SendMessageW(check->Handle(), BM_CLICK, 0, 0);
  const HWND before = panel->Handle();

  panel->RecreateWnd();
  testing_support::Pump();
  EXPECT_NE(panel->Handle(), before);
  EXPECT_EQ(GetParent(edit->Handle()), panel->Handle());
  EXPECT_EQ(edit->Text(), "vom Benutzer");
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(WindowLayer, CheckBoxesAndRadioButtonsFireClickOnChangesButNotWhileLoading) {
  form->BeginLoading();
  auto* check = new TCheckBox(form);
  check->SetParent(form);
  auto* first = new TRadioButton(form);
  first->SetParent(form);
  auto* second = new TRadioButton(form);
  second->SetParent(form);
  int checkClicks = 0, radioClicks = 0;
  check->OnClick = [&](TComponent*) { ++checkClicks; };
  second->OnClick = [&](TComponent*) { ++radioClicks; };
  check->SetChecked(true);
  first->SetChecked(true);
  form->EndLoading();
  EXPECT_EQ(checkClicks, 0);
  form->Show();

  ClickButton(*second);
  EXPECT_TRUE(second->Checked());
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(radioClicks, 1);
  ClickButton(*check);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(checkClicks, 1);
  check->SetChecked(true);
  EXPECT_EQ(checkClicks, 2);
}

TEST_F(WindowLayer, KeyboardTabReturnEscapeAndAccelerators) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetTop(40);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetCaption("Abbrechen");
  cancel->SetCancel(true);
  cancel->SetTop(80);
  auto* next = new TButton(form);
  next->SetParent(form);
  next->SetCaption("&Weiter");
  next->SetTop(120);
  auto* hidden = new TButton(form);
  hidden->SetParent(form);
  hidden->SetCaption("&Wiederholen");
  hidden->Hide();
  std::string log;
  ok->OnClick = [&](TComponent*) { log += "ok "; };
  cancel->OnClick = [&](TComponent*) { log += "cancel "; };
  next->OnClick = [&](TComponent*) { log += "next "; };
  hidden->OnClick = [&](TComponent*) { log += "hidden "; };
  form->Show();
  edit->SetFocus();

  testing_support::PressKey(edit->Handle(), VK_RETURN);
  testing_support::PressKey(edit->Handle(), VK_ESCAPE);
  testing_support::PressAltKey(edit->Handle(), L'w');
  EXPECT_EQ(log, "ok cancel next ");
  EXPECT_TRUE(next->Focused());

  edit->SetFocus();
  testing_support::PressKey(edit->Handle(), VK_TAB);
  EXPECT_TRUE(ok->Focused());
  testing_support::PressKey(ok->Handle(), VK_TAB);
  EXPECT_TRUE(cancel->Focused());
  // Return on a focused button clicks that button, not the default one.
  testing_support::PressKey(cancel->Handle(), VK_RETURN);
  EXPECT_EQ(log, "ok cancel next cancel ");
}

TEST_F(WindowLayer, WhereTabPutsTheFocusShows) {
  auto* button = new TButton(form);
  button->SetParent(form);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetTop(40);
  edit->SetText("unbenannt.zip");
  auto* list = new TListView(form);
  list->SetParent(form);
  list->SetTop(80);
  list->AddColumn("Datei", 100);
  for (const char* name : {"a.txt", "b.txt"}) list->Items().Add()->SetCaption(name);
  form->Show();
  button->SetFocus();

  // A text field's text is selected, so typing replaces it.
  testing_support::PressKey(button->Handle(), VK_TAB);
  ASSERT_TRUE(edit->Focused());
  DWORD start = 1, end = 0;
  SendMessageW(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 13u);
  // A list without a focused row gives its first one the mark, selecting nothing.
  testing_support::PressKey(edit->Handle(), VK_TAB);
  ASSERT_TRUE(list->Focused());
  EXPECT_EQ(ListView_GetNextItem(list->Handle(), -1, LVNI_FOCUSED), 0);
  EXPECT_EQ(list->Selected(), nullptr);
}

TEST_F(WindowLayer, EscapeThatNoCancelButtonTakesIsTheCloseBoxAndAClosedFormStartsOver) {
  auto* first = new TEdit(form);
  first->SetParent(form);
  auto* second = new TEdit(form);
  second->SetParent(form);
  second->SetTop(40);
  bool refuse = false;
  int closes = 0;
  form->OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = !refuse; };
  form->OnClose = [&](TComponent*, TCloseAction&) { ++closes; };
  auto escape = [] { testing_support::PressKey(GetFocus(), VK_ESCAPE); };
  form->Show();
  second->SetFocus();
  escape();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(closes, 1);
  form->Show();
  EXPECT_TRUE(first->Focused()) << "shown again, it starts at its first control";

  // Kept open: by its close query, without a close box, as the main form.
  const struct {
    const char* what;
    std::function<void()> set, reset;
  } kept[] = {
      {"close query", [&] { refuse = true; }, [&] { refuse = false; }},
      {"no close box", [&] { form->SetBorderIcons(0); }, [&] { form->SetBorderIcons(biSystemMenu); }},
      {"main form", [&] { Application().SetMainForm(form); }, [&] { Application().SetMainForm(nullptr); }},
  };
  for (const auto& c : kept) {
    SCOPED_TRACE(c.what);
    c.set();
    escape();
    EXPECT_TRUE(form->Visible());
    c.reset();
  }
  EXPECT_FALSE(Application().Terminated());
  EXPECT_EQ(closes, 1);
}

TEST_F(WindowLayer, RadioButtonsOfAParentAreOneTabStopAndTheArrowKeysMoveTheirCheck) {
  auto* before = new TEdit(form);
  before->SetParent(form);
  auto* group = new TPanel(form);
  group->SetParent(form);
  group->SetBounds(0, 30, 300, 100);
  std::vector<TRadioButton*> radios;
  std::string clicks;
  for (const char* name : {"a", "b", "c", "d"}) {
    auto* radio = new TRadioButton(group);
    radio->SetParent(group);
    radio->SetTop(static_cast<int>(radios.size()) * 20);
    radio->OnClick = [&clicks, name](TComponent*) { clicks += name; };
    radios.push_back(radio);
  }
  auto* after = new TEdit(form);
  after->SetParent(form);
  after->SetTop(140);
  form->Show();
  auto focused = [] { return TWinControl::FindControl(GetFocus()); };
  auto press = [&](WORD key) { testing_support::PressKey(GetFocus(), key); };

  // None checked: Tab stops at each; one checked: only there.
  before->SetFocus();
  for (TWinControl* expected : std::vector<TWinControl*>{radios[0], radios[1], radios[2], radios[3], after}) {
    press(VK_TAB);
    EXPECT_EQ(focused(), expected);
  }
  radios[1]->SetChecked(true);
  clicks.clear();
  before->SetFocus();
  press(VK_TAB);
  EXPECT_EQ(focused(), radios[1]);
  press(VK_TAB);
  EXPECT_EQ(focused(), after);

  // The arrows move the focus and the check through the group, round its ends, past a disabled one.
  radios[2]->SetEnabled(false);
  radios[1]->SetFocus();
  const struct {
    WORD key;
    TRadioButton* lands;
  } moves[] = {{VK_DOWN, radios[3]}, {VK_RIGHT, radios[0]}, {VK_UP, radios[3]}, {VK_LEFT, radios[1]}};
  for (const auto& move : moves) {
    press(move.key);
    EXPECT_EQ(focused(), move.lands);
    for (TRadioButton* radio : radios) EXPECT_EQ(radio->Checked(), radio == move.lands);
  }
  EXPECT_EQ(clicks, "dadb");
  // The only checked one disabled, Tab reaches the others again.
  radios[1]->SetEnabled(false);
  before->SetFocus();
  press(VK_TAB);
  EXPECT_EQ(focused(), radios[0]);
}

TEST_F(WindowLayer, MaskEditKeepsItsFormWhateverIsTypedPastedOrAssigned) {
  auto* edit = new TMaskEdit(form);
  edit->SetParent(form);
  edit->SetEditMask("00:00");
  edit->SetText("18:00");
  form->Show();
  edit->SetFocus();
  const HWND h = edit->Handle();
  auto caretTo = [&](int at) { SendMessageW(h, EM_SETSEL, at, at); };
  using testing_support::TypeChars;

  // Digits overwrite position by position and skip the colon; anything else is dropped.
  caretTo(0);
  TypeChars(h, L"0a7:3x59");
  EXPECT_EQ(edit->Text(), "07:35");
  EXPECT_TRUE(edit->IsComplete());
  // Backspace empties the digit before the caret, over the colon.
  TypeChars(h, L"\b\b\b");
  EXPECT_EQ(edit->Text(), "0_:__");
  EXPECT_FALSE(edit->IsComplete());
  // Delete empties the digit at the caret.
  edit->SetText("12:34");
  caretTo(2);
  testing_support::PressKey(h, VK_DELETE);
  EXPECT_EQ(edit->Text(), "12:_4");

  // A paste goes in as its digits.
  const std::wstring pasted = L"23.59 Uhr";
  ASSERT_TRUE(OpenClipboard(h));
  EmptyClipboard();
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(data), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
  caretTo(0);
  TypeChars(h, L"\x16");  // Ctrl+V
  EXPECT_EQ(edit->Text(), "23:59");
  SendMessageW(h, WM_CUT, 0, 0);
  SendMessageW(h, WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "23:59");

  // Texts from the program are fitted into the form.
  const struct {
    const char* assigned;
    const char* shown;
  } cases[] = {{"", "__:__"}, {"9:5", "9_:__"}, {"99:99", "99:99"}, {"ab:cd", "__:__"}, {"07:301", "07:30"}};
  for (const auto& c : cases) {
    edit->SetText(c.assigned);
    EXPECT_EQ(edit->Text(), c.shown) << c.assigned;
  }
}

TEST_F(WindowLayer, CloseBoxAsksCloseQueryAndHidesTheForm) {
  bool allow = false;
  int closes = 0;
  form->OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = allow; };
  form->OnClose = [&](TComponent*, TCloseAction&) { ++closes; };
  form->Show();
  testing_support::CloseBox(*form);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(closes, 0);
  allow = true;
  testing_support::CloseBox(*form);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(closes, 1);
}

TEST_F(WindowLayer, ListViewKeepsItemDataThroughCustomSortAndSelection) {
  auto* list = new TListView(form);
  list->SetParent(form);
  list->SetMultiSelect(true);
  list->AddColumn("Datei", 100);
  list->AddColumn("Größe", 60, TAlignment::taRightJustify);
  form->Show();
  const char* names[] = {"c.txt", "a.txt", "b.txt"};
  for (int i = 0; i < 3; ++i) {
    TListItem* item = list->Items().Add();
    item->SetCaption(names[i]);
    item->AddSubItem(std::to_string(i) + " KB");
    item->Data = 100 + i;
  }
  list->Items()[2]->SetSelected(true);
  list->CustomSort([](const TListItem& a, const TListItem& b) { return a.Caption().compare(b.Caption()); });
  EXPECT_EQ(list->Items()[0]->Caption(), "a.txt");
  EXPECT_EQ(list->Items()[0]->Data, 101);
  EXPECT_EQ(list->Items()[2]->Data, 100);
  ASSERT_NE(list->Selected(), nullptr);
  EXPECT_EQ(list->Selected()->Caption(), "b.txt");
  wchar_t text[32] = {};
  ListView_GetItemText(list->Handle(), 1, 1, text, 32);
  EXPECT_STREQ(text, L"2 KB");
  int clicked = -1;
  list->OnColumnClick = [&](TComponent*, int column) { clicked = column; };
  NMLISTVIEW header = {};
  header.hdr.hwndFrom = list->Handle();
  header.hdr.code = LVN_COLUMNCLICK;
  header.iSubItem = 1;
  SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(clicked, 1);
}

TEST_F(WindowLayer, MenuCommandsAndShortCutsRunTheirItems) {
  auto* menu = new TMainMenu(form);
  TMenuItem* program = menu->Items()->Add("&Programm");
  int helps = 0;
  TMenuItem* help = program->Add("&Hilfe", [&](TComponent*) { ++helps; });
  help->SetShortCut(ShortCut(VK_F1));
  TMenuItem* light = program->Add("&Leicht");
  TMenuItem* strong = program->Add("&Stark");
  light->SetRadioItem(true);
  strong->SetRadioItem(true);
  light->SetChecked(true);
  strong->SetChecked(true);
  EXPECT_FALSE(light->Checked());
  form->SetMenu(menu);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->Show();
  edit->SetFocus();

  SendMessageW(form->Handle(), WM_COMMAND, help->Command(), 0);
  testing_support::PressKey(edit->Handle(), VK_F1);
  EXPECT_EQ(helps, 2);
  EXPECT_EQ(GetMenuState(program->Handle(), 2, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(program->Handle(), 1, MF_BYPOSITION) & MF_CHECKED, 0u);

  auto* popup = new TPopupMenu(form);
  TMenuItem* show = popup->Items()->Add("&Anzeigen", [&](TComponent*) { ++helps; });
  SetPopupChooserForTesting([&](TPopupMenu&, int, int) { return show; });
  popup->Popup(10, 10);
  SetPopupChooserForTesting(nullptr);
  EXPECT_EQ(helps, 3);
}

TEST_F(WindowLayer, TimerTicksOnlyWhileEnabledAndItsExceptionsStayInside) {
  auto* timer = new TTimer(form);
  timer->SetInterval(60000);
  int ticks = 0;
  timer->OnTimer = [&](TComponent*) { ++ticks; };
  timer->Tick();
  timer->SetEnabled(false);
  timer->Tick();
  EXPECT_EQ(ticks, 1);

  timer->SetEnabled(true);
  timer->SetInterval(1);
  timer->OnTimer = [&](TComponent*) {
    timer->SetEnabled(false);
    throw std::runtime_error("Fehler im Timer");
  };
  Application().WaitUntil([&] { return !timer->Enabled(); });
  const auto errors = testing_support::TakeBoundaryErrors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Fehler im Timer");
}

TEST_F(WindowLayer, TheMainLoopIdlesOnlyOnceEveryMessageIsHandledAndNeverInsideAWait) {
  std::vector<std::string> events;
  Queue([&] {
    events.push_back("eins");
    // A handler's own wait: what it handles runs inside it, and the loop does not idle.
    Application().ProcessMessages();
  });
  Queue([&] { events.push_back("zwei"); });
  Application().OnIdle = [&] {
    events.push_back("Pause");
    if (events.size() > 3) {
      Application().Terminate();
    } else {
      Queue([&] { events.push_back("drei"); });
    }
  };
  Application().Run();
  Application().OnIdle = nullptr;
  Application().ResetTerminatedForTesting();
  EXPECT_EQ(events, (std::vector<std::string>{"eins", "zwei", "Pause", "drei", "Pause"}));
}

TEST_F(WindowLayer, OwnerFreesWhatItOwnsAndWatchersHearOfIt) {
  struct Watcher : TComponent {
    using TComponent::TComponent;
    TComponent* watched = nullptr;
    void Notification(TComponent* c, TOperation op) override {
      if (op == TOperation::opRemove && c == watched) watched = nullptr;
    }
  };
  auto* owner = new TComponent(nullptr);
  auto* popup = new TPopupMenu(owner);
  Watcher watcher(nullptr);
  watcher.watched = popup;
  popup->FreeNotification(&watcher);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetPopupMenu(popup);
  delete owner;
  EXPECT_EQ(watcher.watched, nullptr);
}

}  // namespace

#include "classlib/shell_tree.h"
#include "tests/support/temp_dir.h"

namespace {

TEST_F(WindowLayer, ShellTreeFindsFoldersHiddenOnesTooAndKnowsVirtualNodes) {
  testing_support::TempDir temp;
  const std::string hidden = temp / "Versteckt Ordner";
  const std::string deep = hidden + "\\Ä tief";
  CreateDirectoryW(classlib::Widen(hidden).c_str(), nullptr);
  CreateDirectoryW(classlib::Widen(deep).c_str(), nullptr);
  SetFileAttributesW(classlib::Widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  auto* tree = new TShellTreeView(form);
  tree->SetParent(form);
  tree->SetBounds(0, 0, 300, 200);
  int changes = 0;
  tree->OnChange = [&](TComponent*) { ++changes; };
  form->Show();

  ASSERT_TRUE(tree->SetPath(deep));
  EXPECT_TRUE(classlib::SameTextAscii(tree->Path(), deep)) << tree->Path();
  EXPECT_GE(changes, 1);
  EXPECT_FALSE(tree->SetPath(temp / "gibt es nicht"));
  EXPECT_TRUE(classlib::SameTextAscii(tree->Path(), deep));

  // The namespace root and the computer are no folders to write to.
  const HTREEITEM root = TreeView_GetRoot(tree->Handle());
  TreeView_SelectItem(tree->Handle(), root);
  EXPECT_EQ(tree->Path(), "");
  int virtualNodes = 0;
  for (HTREEITEM c = TreeView_GetChild(tree->Handle(), root); c; c = TreeView_GetNextSibling(tree->Handle(), c)) {
    TreeView_SelectItem(tree->Handle(), c);
    if (tree->Path().empty()) ++virtualNodes;
  }
  EXPECT_GE(virtualNodes, 1);
}

}  // namespace
