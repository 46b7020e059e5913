// Packages at the format's limits: the most entries a count can hold, empty
// entries, names of every byte value, and a title and texts of many megabytes.
#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "fakes/package.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;
using fakes::MakePackage;
using fakes::Manifest;
using fakes::TestEntry;

constexpr char kExe[] = "C:\\Fonts Setup\\setup.exe";

TEST(Limits, MostEntriesACountHolds) {
  std::vector<TestEntry> entries;
  entries.push_back({"kestrel.dat", Manifest()});
  for (int i = 1; i < 32767; ++i) entries.push_back({"f" + std::to_string(i) + ".ttf", ""});
  FakeMachine m;
  m.files.files[kExe] = MakePackage(entries);
  FrmMain form(m.services);
  ASSERT_NO_THROW(form.Form_Load());
  EXPECT_EQ(form.lstFiles.size(), 32767u);
  EXPECT_EQ(form.lstFonts.size(), 32766u);
  EXPECT_EQ(m.files.files["C:\\Temp\\f1.ttf"], "");  // empty entries give empty files

  // One more does not fit the count field's 16 bits.
  std::string bytes = m.files.files[kExe];
  bytes.replace(bytes.size() - 519, 5, "32768");
  FakeMachine over;
  over.files.files[kExe] = bytes;
  FrmMain f(over.services);
  EXPECT_THROW(f.Form_Load(), fakes::Terminated);
  EXPECT_EQ(over.windows.boxes.size(), 1u);
}

TEST(Limits, NamesOfEveryByteStayInTheTemporaryFolder) {
  for (int first = 1; first < 256; first += 40) {
    std::vector<TestEntry> entries{{"kestrel.dat", Manifest()}};
    std::vector<std::string> names;
    for (int b = first; b < first + 40 && b < 256; ++b) {
      std::string name(40, static_cast<char>(b));
      name.replace(0, 4, "font");
      entries.push_back({name, "x"});
    }
    FakeMachine m;
    m.files.files[kExe] = MakePackage(entries);
    FrmMain form(m.services);
    try {
      form.Form_Load();
    } catch (const fakes::Terminated&) {
      // A name that would leave the folder makes the package damaged.
      EXPECT_EQ(m.windows.boxes.size(), 1u);
    }
    for (const auto& [path, bytes] : m.files.files) {
      if (path == kExe) continue;
      const std::string work = "C:\\Temp\\sorvela-1010101010101010\\";
      ASSERT_EQ(path.rfind(work, 0), 0u) << path;
      EXPECT_EQ(path.find_first_of("\\/:", work.size()), std::string::npos) << path;
    }
  }
}

TEST(Limits, LongTitleAndTextsAreCutForTheWindows) {
  std::string readme;
  while (readme.size() < 8 * 1024 * 1024) readme += "a line that ends in a lone LF\n";
  readme += "\r\nlast\r\n";
  // Lone CRs double in the text box: the cut must not leave half a CR LF.
  const std::string license = "x" + std::string(2 * 1024 * 1024, '\r');
  const std::string title(1024 * 1024, 'T');
  FakeMachine m;
  m.files.files[kExe] = MakePackage({{"big.txt", readme},
                                     {"lic.txt", license},
                                     {"kestrel.dat", Manifest("big.txt", "lic.txt", title)}});
  FrmMain form(m.services);
  ASSERT_NO_THROW(form.Form_Load());
  EXPECT_EQ(m.windows[Control::txtReadme].text, readme.substr(0, 1024 * 1024));
  const std::string& text = m.windows[Control::txtLicense].text;
  EXPECT_EQ(text.size(), 1024u * 1024 - 1);
  EXPECT_EQ(text.substr(text.size() - 3), "\n\r\n");
  EXPECT_EQ(m.windows[Control::frmMain].text, std::string(255, 'T') + " - Velloway");
  EXPECT_EQ(m.windows[Control::lblReady].text, "Ready to Install " + std::string(255, 'T'));
  EXPECT_TRUE(m.windows[Control::picReadme].visible);
  // The files themselves are whole.
  EXPECT_EQ(m.files.files["C:\\Temp\\sorvela-1010101010101010\\big.txt"], readme);
  EXPECT_EQ(m.files.files["C:\\Temp\\sorvela-1010101010101010\\lic.txt"], license);
}

}  // namespace
}  // namespace sorvela
