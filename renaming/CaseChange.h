#pragma once
// What a run changes: the case it brings names to, and which part of each name it changes.
// The rest of a name stays exactly as it is; a run still renames, records and reports whole
// names.
#include "renaming/CaseDirection.h"

enum class NamePart {
    Whole,      // the whole name
    Extension,  // only the extension: the last dot and what follows it (see ExtensionStart)
    Stem,       // only the name without its extension; a name without one, whole
};

struct CaseChange {
    // A direction alone changes whole names, as every run did before parts could be chosen.
    CaseChange(CaseDirection caseDirection, NamePart namePart = NamePart::Whole)  // NOLINT: implicit on purpose
        : direction(caseDirection), part(namePart) {}

    CaseDirection direction;
    NamePart part;
};
