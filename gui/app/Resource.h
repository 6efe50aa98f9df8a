#pragma once

// Command ids, shared by the menus, the toolbar and the status bar. They keep
// the numbers the program has always used, so help contexts and settings stay
// stable.
namespace DorvaneIds {
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_WINDOW_ARRANGE = 57649;
inline constexpr int ID_WINDOW_CASCADE = 57650;
inline constexpr int ID_WINDOW_TILE_HORZ = 57651;
inline constexpr int ID_WINDOW_TILE_VERT = 57652;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_HELP_FINDER = 57667;
inline constexpr int ID_HELP = 57670;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_REMOVE_BLOOMING = 32771;
inline constexpr int ID_ZOOM_50 = 32777;
inline constexpr int ID_ZOOM_100 = 32778;
inline constexpr int ID_ZOOM_25 = 32779;
inline constexpr int ID_ZOOM_200 = 32780;
inline constexpr int ID_ZOOM_400 = 32781;
inline constexpr int ID_ZOOM_800 = 32782;
inline constexpr int ID_ZOOM_1600 = 32783;
inline constexpr int ID_VIEW_STRETCH = 32789;
inline constexpr int ID_WINDOW_CLOSE_ALL = 32793;
inline constexpr int ID_INDICATOR_PIXEL = 61446;

// Commands added after the program's own.
inline constexpr int ID_FILE_SAVE_MASK = 32820;
inline constexpr int ID_VIEW_REPLACED_PIXELS = 32821;
// Viewer commands.
inline constexpr int ID_ZOOM_FIT = 32800;
inline constexpr int ID_ZOOM_IN = 32801;
inline constexpr int ID_ZOOM_OUT = 32802;
inline constexpr int ID_VIEW_HEADER = 32803;
inline constexpr int ID_VIEW_SHOW_ORIGINAL = 32804;

// Help commands understood by CDorvaneApp::WinHelp.
inline constexpr unsigned HELP_CONTEXT = 0x0001;
inline constexpr unsigned HELP_CONTENTS = 0x0003;
inline constexpr unsigned HELP_FINDER = 0x000B;

// Help contexts of the parameter dialog: 0x20000 plus the control or dialog id.
inline constexpr unsigned HIDD_MONO_PARAMS = 0x200C9;
inline constexpr unsigned HIDC_INTENSITY = 0x203E8;
inline constexpr unsigned HIDC_LENGTH = 0x203E9;
inline constexpr unsigned HIDC_WIDTH = 0x203EA;
inline constexpr unsigned HIDC_MIRROR = 0x203EB;
inline constexpr unsigned HIDC_PROCESS_ALL = 0x200D4;
}  // namespace DorvaneIds

// Artwork in the resources.
#define DORVANE_ICON_MAIN ":/icons/icon128.svg"
#define DORVANE_ICON_IMAGE ":/icons/icon129.svg"
#define DORVANE_ICON_SBIG ":/icons/icon143.svg"
#define DORVANE_SPLASH ":/images/splash.svg"
