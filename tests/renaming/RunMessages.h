#pragma once
// The texts a rename run ends with, as the user reads them.
inline const wchar_t* const kLowerDone = L"Ok, alle Dateien in kleinbuchstaben umbenannt.";
inline const wchar_t* const kUpperDone = L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
inline const wchar_t* const kNoFiles = L"Keine Dateien im gewählten Verzeichnis!";
inline const wchar_t* const kNotAll = L"Nicht alle Dateien wurden umbenannt. Diese Dateien behalten ihren Namen:";
inline const wchar_t* const kLowerExtensionsDone = L"Ok, alle Dateiendungen in Kleinbuchstaben umbenannt.";
