#pragma once
// The program module's process-wide state: code page, resources and the application's name.
#include <windows.h>

class CString;

// Present in every link that uses strings; its construction selects the ANSI code page as the
// process's multi-byte code page before any application object is built.
extern const int AfxModuleStateAnchor;

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module that holds resource lpszName of type lpszType (the program's own module).
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);

// The caption of AfxMessageBox: set by the application object, else the module's file name
// without its extension.
CString AfxGetAppName();
void AfxSetAppName(const char* pszName);
