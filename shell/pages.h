// The wizard's pages, one record each, in the order Next walks them. The
// form's navigation and the Win32 windows both read this table: adding a
// page is one row here and its controls in the layout.
#pragma once

#include <cstdint>
#include <iterator>

#include "services/services.h"

namespace sorvela {

struct WizardPage {
  enum class Shows : uint8_t {
    kWithText,   // when its text control holds text
    kOnlyFirst,  // only as the first page: no page before it shows
    kAlways,
  };
  Control panel;
  Control text;  // the control that holds what the page shows
  Shows shows;
};

// The last page runs the install; Next on it ends the run.
inline constexpr WizardPage kWizardPages[] = {
    {Control::picReadme, Control::txtReadme, WizardPage::Shows::kWithText},
    {Control::picLicense, Control::txtLicense, WizardPage::Shows::kWithText},
    {Control::picReady, Control::lblReady, WizardPage::Shows::kOnlyFirst},
    {Control::picInstall, Control::lblInstall, WizardPage::Shows::kAlways},
};
inline constexpr Control kInstallPage = std::end(kWizardPages)[-1].panel;
static_assert(std::end(kWizardPages)[-1].shows == WizardPage::Shows::kAlways,
              "Next always reaches the install");

constexpr bool IsWizardPage(Control control) {
  // A loop: std::any_of is not constexpr in C++17.
  for (const WizardPage& page : kWizardPages)  // NOLINT(readability-use-anyofallof)
    if (page.panel == control) return true;
  return false;
}

}  // namespace sorvela
