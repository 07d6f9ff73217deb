#pragma once
// Reads a dialog template resource of the running module (plain or extended form) into plain
// values, so tests can compare what windres produced with what the dialogs need.
#include <windows.h>

#include <string>
#include <vector>

struct DialogTemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string windowClass;  // upper case; predefined classes by name ("BUTTON", "STATIC", ...)
    std::string text;         // code page 1252; a resource ordinal as "#128"
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;
    std::string windowClass;
    std::string caption;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string font;
    std::vector<DialogTemplateItem> items;
};

// Throws std::runtime_error when the module has no such dialog resource.
DialogTemplate ReadDialogTemplate(int id);
