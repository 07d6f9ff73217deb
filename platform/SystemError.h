#pragma once
// Text of a system error code, as the platform words it for the user's language.
#include "platform/CString.h"

CString AfxFormatSystemMessage(DWORD dwError);
