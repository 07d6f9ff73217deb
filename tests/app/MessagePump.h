#pragma once
// Lets the test thread's windows run for a while, as a message loop would.
#include <windows.h>

#include <functional>

// Handles this thread's messages until done() is true or timeoutMs have passed; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);
