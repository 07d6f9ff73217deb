#include "renaming/AddressableName.h"

bool Addressable(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/\uFFFD") == std::wstring::npos;
}
