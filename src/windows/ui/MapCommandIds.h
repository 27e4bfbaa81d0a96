// The map window's commands, shared by the resource script and the code: its
// window menu items and the shortcut keys of its accelerator table.
#pragma once

#define IDA_MAP_KEYS 300

// System menu items (system commands have their low four bits clear).
#define IDM_FIND_OFFICE 0x1010
#define IDM_SAVE_CONTACT 0x1020
#define IDM_COPY_LINK 0x1030
// The Language submenu: the language of Windows, then each of the program's
// languages in the order of UiLanguages(), 0x10 apart.
#define IDM_LANGUAGE_OF_WINDOWS 0x1100
#define IDM_LANGUAGE_FIRST 0x1110

// The keys for the same commands have numbers of their own: TranslateAccelerator
// does nothing for a key whose number is a greyed menu item, and Ctrl+S with
// nothing selected still says why nothing is saved.
#define IDK_FIND_OFFICE 0x2010
#define IDK_SAVE_CONTACT 0x2020
