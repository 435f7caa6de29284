// The command ids of Quillet's main menu (WM_COMMAND of the main window) and the private
// messages of its main window.
#pragma once

enum TQuilletCommand : unsigned {
  cmFileNew = 100, cmFileOpen, cmFileClose, cmFileSaveAs, cmFileExit,
  cmEditUndo = 200, cmEditCut, cmEditCopy, cmEditPaste, cmEditDelete, cmEditSelectAll,
  // HTML entries in menu order
  cmBreak = 300, cmNobr, cmRule, cmBold, cmSpacer, cmNoFrames, cmBorder, cmIsIndex, cmSubScript,
  cmSuperScript, cmCopyright, cmRegistered, cmLeft, cmCenter, cmRight, cmComment, cmTextArea,
  cmListBox, cmMarquee, cmFontText, cmTopButton, cmBottomButton, cmVideo,
  cmImage, cmLink, cmMailLink, cmTable, cmFormBuilder, cmSoundTable, cmImageBrowser, cmCompressor,
  cmPreview,
  cmDateScript = 400, cmColorFader, cmRightButtonLock, cmStatusScroller,
  cmBrowser = 500,
  cmInfoBox = 600, cmHelp,
};

// Asks the main window whether a command's menu entry (or tool button) is enabled:
// wParam the command id; the result 1 enabled, 0 disabled, -1 unknown.
constexpr unsigned QM_COMMANDENABLED = 0x8000 + 0x201;  // WM_APP + 0x201
// The number of document windows (MDI children).
constexpr unsigned QM_DOCUMENTCOUNT = 0x8000 + 0x202;
// The command id of History entry wParam (0 past the last entry).
constexpr unsigned QM_HISTORYENTRY = 0x8000 + 0x203;
// The window class of the main window.
#define QUILLET_MAIN_CLASS "TMainForm"

// Control ids of the new-page dialog: Edit1..Edit13 = NP_EDIT + n, ColorButton1..6 =
// NP_BUTTON + n, CheckBox1..2 = NP_CHECK + n, Panel2..11 = NP_PANEL + n, UpDown1..2 = NP_UPDOWN + n.
enum : int { NP_EDIT = 1000, NP_BUTTON = 1100, NP_CHECK = 1200, NP_PANEL = 1300, NP_UPDOWN = 1400 };
// The info box's memory and drive labels.
enum : int { AB_MEMORY = 1501, AB_DISK = 1502 };
