// Control ids and window class names of the stub's windows, so that a test
// driver can find each control with EnumChildWindows + GetDlgCtrlID (controls
// on a page sit inside that page's panel, so GetDlgItem on the main window
// reaches only the direct children). No <windows.h> needed.
#pragma once

namespace sorvela::ids {

// Top-level window classes.
constexpr char kMainClass[] = "SorvelaMain";
constexpr char kExtractingClass[] = "SorvelaExtracting";
// Child classes: panels and lines paint a plain colour; pictures paint an image.
constexpr char kBoxClass[] = "SorvelaBox";
constexpr char kPictureClass[] = "SorvelaPicture";

enum : int {
  // On frmMain.
  kImgSide = 1001,
  kImage2 = 1002,
  kPicReady = 1003,
  kPicReadme = 1004,
  kPicLicense = 1005,
  kPicInstall = 1006,
  kLneGrey = 1007,
  kLneWhite = 1008,
  kLabel9 = 1009,
  kCmdNext = 1010,
  kCmdCancel = 1011,
  kLstFiles = 1012,
  kLstFonts = 1013,
  // Ready page.
  kLblReady = 1014,
  kLabel5 = 1015,
  // Readme and Licence pages.
  kTxtReadme = 1016,
  kTxtLicense = 1017,
  // Install page.
  kLabel3 = 1018,
  kLabel6 = 1019,
  kImgCopy = 1020,
  kLabel7 = 1021,
  kImgRegister = 1022,
  kLabel8 = 1023,
  kImgLinks = 1024,
  kLabel10 = 1025,
  kLblInstall = 1026,
  kImgPass = 1027,
  kImgFail = 1028,
  // On frmExtracting.
  kLabel1 = 1029,
  kPrgExtracting = 1030,
};
// Tables indexed by control id take their size from these.
constexpr int kFirstId = kImgSide;
constexpr int kLastId = kPrgExtracting;

}  // namespace sorvela::ids
