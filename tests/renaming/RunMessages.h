#pragma once
// The texts a rename run ends with, as the user reads them (code page 1252 bytes).
inline const char* const kLowerDone = "Ok, alle Dateien in kleinbuchstaben umbenannt.";
inline const char* const kUpperDone = "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
inline const char* const kNoFiles = "Keine Dateien im gew\xE4hlten Verzeichnis!";
inline const char* const kNotAll = "Nicht alle Dateien wurden umbenannt. Diese Dateien behalten ihren Namen:";
