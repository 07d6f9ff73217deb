#pragma once
// What the list of every rename and the dry run say about one file beside its names: why it
// keeps its name, or where it comes from.
#include "renaming/CaseChange.h"
#include "renaming/RunPreview.h"

#include <string>

// "Zwilling von Foto.jpg", "Name für Windows nicht ansprechbar", "in Großbuchstaben nicht zu
// schreiben", "wartet auf ein Aufräumen", "kommt aus einem abgebrochenen Lauf zurück"; empty
// for a plain rename.
std::wstring PlannedFileNote(const CaseChange& change, const PlannedFile& file);
