// Web links: which addresses and titles make them, where an elevated run
// writes them, and the shortcut text they leave.
#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;

constexpr char kDesktop[] = "C:\\Users\\me\\Desktop\\Home.url";
constexpr char kFavorites[] = "C:\\Users\\me\\Favorites\\Home.url";

class WebLinkTest : public ::testing::Test {
 protected:
  WebLinkTest() {
    m.shell.folders[ShellFolder::kProfile] = "C:\\Users\\me";
    m.shell.folders[ShellFolder::kDesktop] = "C:\\Users\\me\\Desktop";
    m.shell.folders[ShellFolder::kFavorites] = "C:\\Users\\me\\Favorites\\";
  }
  FakeMachine m;
};

TEST(WebAddress, OnlyHttpAndHttpsAddressesOfTheWebsOwnCharacters) {
  const std::string longest = "https://a.example/" + std::string(kMaxWebAddress - 18, 'x');
  const struct {
    std::string address;
    bool web;
  } cases[] = {
      {"http://a.example/", true},
      {"https://fonts.example.org/q?x=1&y=%22a%22#top", true},
      {"HTTP://A.EXAMPLE", true},
      {"hTtPs://a.example:8443/", true},
      {"http://x/", true},
      {"http://[2001:db8::1]:8080/", true},
      {"https://a.example/(v1)/*;!$'+,~_.-", true},
      {longest, true},
      {longest + "x", false},
      {"", false},
      {"u", false},
      {"http://", false},
      {"https://", false},
      {"http:///path", false},
      {"http://?q", false},
      {"http://:80/", false},
      {"http://user@a.example/", false},
      {"http://marrowby.example@evil.example/", false},
      {"http:a.example", false},
      {"http:\\\\a.example", false},
      {"ftp://a.example/", false},
      {"file:///C:/Windows/notepad.exe", false},
      {"\\\\198.51.100.7\\share\\update.exe", false},
      {"javascript:alert(1)", false},
      {"ms-msdt:/id PCWDiagnostic", false},
      {"search-ms:query=fonts", false},
      {" http://a.example/", false},
      {"http://a.example/ x", false},
      {"http://a.example/\" --flag", false},
      {"http://a.example/\\..\\x", false},
      {"http://a.example/<b>|{}^`", false},
      {"http://a.example/\r\nIconFile=\\\\evil\\share\\i.ico", false},
      {"http://a.example/\nIconIndex=1", false},
      {"http://a.\texample/", false},
      {std::string("http://a.example/\0x", 19), false},
      {"http://a.example/\x7f", false},
      {"http://caf\xe9.example/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
}

TEST_F(WebLinkTest, GoToTheDesktopThenFavorites) {
  CreateWebLink(m.services, "Home", "http://a.example/");
  EXPECT_EQ(m.shell.shortcuts,
            (std::map<std::string, std::string>{{kDesktop, "http://a.example/"},
                                                {kFavorites, "http://a.example/"}}));

  // No Favorites: the Desktop only. No Desktop, or a Desktop lookup that errs: neither.
  FakeMachine noFavorites;
  noFavorites.shell.folders = m.shell.folders;
  noFavorites.shell.folders.erase(ShellFolder::kFavorites);
  CreateWebLink(noFavorites.services, "Home", "http://a.example/");
  EXPECT_EQ(noFavorites.shell.shortcuts.size(), 1u);
  for (bool pathless : {false, true}) {
    FakeMachine noDesktop;
    noDesktop.shell.folders = m.shell.folders;
    if (pathless)
      noDesktop.shell.pathless.insert(ShellFolder::kDesktop);
    else
      noDesktop.shell.folders.erase(ShellFolder::kDesktop);
    CreateWebLink(noDesktop.services, "Home", "http://a.example/");
    EXPECT_TRUE(noDesktop.shell.shortcuts.empty()) << pathless;
  }

  // A Desktop link that can't be written leaves Favorites to be written.
  FakeMachine linked;
  linked.shell.folders = m.shell.folders;
  linked.shell.notPlain.insert(kDesktop);
  CreateWebLink(linked.services, "Home", "http://a.example/");
  EXPECT_EQ(linked.shell.shortcuts.size(), 1u);
  EXPECT_TRUE(linked.shell.shortcuts.count(kFavorites));
}

TEST_F(WebLinkTest, TitlesThatAreNoFileNameOfTheirOwnAndOtherAddressesWriteNothing) {
  for (const char* title : {"..\\..\\Startup\\x", "a/b", "C:evil", "Ho\r\nme", ".", "...", "   ",
                            " . ", "CON", "aux", "com1 ", "LPT1.x", "a|b"}) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    CreateWebLink(fm.services, title, "http://a.example/");
    EXPECT_TRUE(fm.shell.shortcuts.empty()) << title;
  }
  // Dots and blanks beside other characters are a name.
  for (const char* title : {"My Fonts.", " .Fonts", "Fonts 2.0", "CONSOLE"}) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    CreateWebLink(fm.services, title, "http://a.example/");
    EXPECT_EQ(fm.shell.shortcuts.size(), 2u) << title;
  }
  CreateWebLink(m.services, "Home", "file:///C:/Windows/System32/calc.exe");
  EXPECT_TRUE(m.shell.shortcuts.empty());
}

TEST_F(WebLinkTest, AnElevatedRunWritesOnlyWhereTheProfileReallyIs) {
  const std::string system32 = "C:\\Windows\\System32";
  const struct {
    const char* what;
    bool elevated;
    bool profile;
    std::map<std::string, std::string> realFolders;
    std::vector<std::string> written;
  } cases[] = {
      {"elevated, both in the profile", true, true, {}, {kDesktop, kFavorites}},
      {"elevated, a Desktop led to the system folder",
       true,
       true,
       {{"C:\\Users\\me\\Desktop", system32}},
       {kFavorites}},
      {"elevated, a Desktop beside the profile",
       true,
       true,
       {{"C:\\Users\\me\\Desktop", "C:\\Users\\meX\\Desktop"}},
       {kFavorites}},
      {"elevated, a profile moved with its folders",
       true,
       true,
       {{"C:\\Users\\me", "D:\\Users\\me"},
        {"C:\\Users\\me\\Desktop", "D:\\Users\\me\\Desktop"},
        {"C:\\Users\\me\\Favorites", "D:\\Users\\me\\Favorites"}},
       {kDesktop, kFavorites}},
      {"elevated, no profile to tell", true, false, {}, {}},
      {"not elevated, the user's own folders wherever they are",
       false,
       false,
       {{"C:\\Users\\me\\Desktop", system32}},
       {kDesktop, kFavorites}},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    if (!c.profile) fm.shell.folders.erase(ShellFolder::kProfile);
    fm.shell.realFolders = c.realFolders;
    fm.system.elevated = c.elevated;
    CreateWebLink(fm.services, "Home", "http://a.example/");
    std::vector<std::string> written;
    for (const auto& [path, address] : fm.shell.shortcuts) written.push_back(path);
    EXPECT_EQ(written, c.written) << c.what;
  }
}

TEST(ShortcutText, TheAddressIsSetAndEveryOtherLineKept) {
  const struct {
    std::string before, after;
  } cases[] = {
      {"", "[InternetShortcut]\r\nURL=new\r\n"},
      {"[InternetShortcut]\r\nURL=old\r\nIconIndex=3\r\n",
       "[InternetShortcut]\r\nURL=new\r\nIconIndex=3\r\n"},
      {"[ internetshortcut ]\r\n url = old\r\n", "[ internetshortcut ]\r\nURL=new\r\n"},
      {"[InternetShortcut]\nURL=old\n", "[InternetShortcut]\nURL=new\n"},
      {"[{000214A0-0000-0000-C000-000000000046}]\r\nURL=other\r\n[InternetShortcut]\r\nURL=old",
       "[{000214A0-0000-0000-C000-000000000046}]\r\nURL=other\r\n[InternetShortcut]\r\nURL=new"},
      {"[InternetShortcut]\r\nIconIndex=3\r\n\r\n[Other]\r\nURL=kept\r\n",
       "[InternetShortcut]\r\nIconIndex=3\r\nURL=new\r\n\r\n[Other]\r\nURL=kept\r\n"},
      {"[InternetShortcut]", "[InternetShortcut]\r\nURL=new"},
      {"[InternetShortcut]\r\nURLs=kept\r\n[InternetShortcut]\r\nURL=second\r\n",
       "[InternetShortcut]\r\nURLs=kept\r\nURL=new\r\n[InternetShortcut]\r\nURL=second\r\n"},
      {"[InternetShortcutX]\r\nURL=kept",
       "[InternetShortcutX]\r\nURL=kept\r\n[InternetShortcut]\r\nURL=new\r\n"},
      {"; a comment\r\n", "; a comment\r\n[InternetShortcut]\r\nURL=new\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    EXPECT_TRUE(SetShortcutAddress(&text, "new")) << c.before;
    EXPECT_EQ(text, c.after) << c.before;
  }
  const std::string wide("\xFF\xFE[\0I\0", 6);
  std::string text = wide;
  EXPECT_FALSE(SetShortcutAddress(&text, "new"));
  EXPECT_EQ(text, wide);
}

}  // namespace
}  // namespace sorvela
