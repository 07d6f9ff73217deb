#pragma once
// Counts as German texts write them: the thousands grouped by full stops ("20.000"), whatever
// the system's own number format, since every text of the program is German.
#include "platform/CString.h"

#include <cstddef>

CString GermanCount(size_t nCount);
