#include "app/wizards/instant_pages.h"

#include <algorithm>
#include <vector>

namespace app {

namespace {

// Normal mode skips the filter page and the pages between the schedule and the destination.
int NormalModePage(int page, bool back) {
  if (page == kFilterPage) return back ? kSourcePage : kSchedulePage;
  if (page >= kCatchUpPage && page <= kSplitPage) return back ? kSchedulePage : kDestinationPage;
  return page;
}

std::vector<int> StepPages(bool expert, bool files) {
  if (!expert) return {kSourcePage, kSchedulePage, kDestinationPage, kNamePage};
  std::vector<int> pages;
  for (int page = kSourcePage; page <= kNamePage; ++page)
    if (page != kFilterPage || !files) pages.push_back(page);
  return pages;
}

}  // namespace

PageStep StepPage(const PageStepInput& in) {
  int page = in.Page + 1;
  if (in.BurnerShown && page > kSourcePage) page = kSplitPage;
  // Until the two passwords agree every step shows their page, in normal mode too, where it is
  // otherwise skipped: the mode must not take the user past it.
  if (in.PasswordMismatch) return {kPasswordPage, PageAction::Show};
  if (!in.Expert) page = NormalModePage(page, in.Back);
  if (page < kWelcomePage) return {-1, PageAction::Close};
  if (page == kWelcomePage)
    return in.Editing ? PageStep{-1, PageAction::Close} : PageStep{kWelcomePage, PageAction::Show};
  if (page == kFilterPage && in.Files) page = in.Back ? kSourcePage : kSchedulePage;
  if (page >= kSavePage) return {kSavePage, PageAction::Save};
  return {page, PageAction::Show};
}

std::string StepText(int page, bool expert, bool files) {
  const std::vector<int> pages = StepPages(expert, files);
  const auto at = std::find(pages.begin(), pages.end(), page);
  if (at == pages.end()) return {};
  return "Schritt " + std::to_string(at - pages.begin() + 1) + " von " + std::to_string(pages.size());
}

}  // namespace app
