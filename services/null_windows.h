// A Windows service with no windows, for programs that run the core's logic
// without a user interface (benchmarks).
#pragma once

#include "services/services.h"

namespace sorvela {

class NullWindows final : public Windows {
 public:
  void Show(Control) override {}
  void Unload(Control) override {}
  void SetVisible(Control, bool) override {}
  bool IsVisible(Control) override { return false; }
  void SetText(Control, const std::string&) override {}
  std::string GetText(Control) override { return ""; }
  void SetEnabled(Control, bool) override {}
  void SetForeColor(Control, uint32_t) override {}
  void CopyPicture(Control, Control) override {}
  void AddItem(Control, const std::string&) override {}
  void Refresh(Control) override {}
  void DoEvents() override {}
  void SetProgress(Control, uint64_t, uint64_t) override {}
  int MessageBox(const std::string&, const std::string&, int) override { return 1; }
};

}  // namespace sorvela
