#pragma once
// Opening a hyperlink label's address, and the message shown when that fails. The label's
// click handling uses these; they keep no state of their own.
#include <windows.h>

// Hands the address to the shell's "open"; when the shell refuses, starts the command
// registered for opening ".htm" files with the address appended in double quotes (its program
// path quoted too where it has a blank and no quotes). Returns the shell's or the program
// start's result code: greater than 32 means the address was opened. Only http:, https: and
// mailto: addresses are passed on (anything else gives SE_ERR_ACCESSDENIED), and the registered
// command is not used for an address that a quote, a control character or a final backslash
// would let out of its quotes.
int OpenLink(const char* pszAddress, int nShowCmd);

// Copies the default value of root\pszSubKey, read into a 260-byte buffer, into pszDest
// (room for 261 bytes, as a value stored without its zero gets one; may be the same buffer as
// pszSubKey). Returns ERROR_SUCCESS, or the failing registry call's code with
// pszDest untouched.
LONG ReadDefaultValue(HKEY hKeyRoot, const char* pszSubKey, char* pszDest);

// Tells the user, in a modal box, why OpenLink failed with nError.
void ShowOpenError(int nError);
