#include "platform/GermanCount.h"

#include <string>

CString GermanCount(size_t nCount) {
    std::string digits = std::to_string(nCount);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '.';
        grouped += digits[i];
    }
    return CString(grouped.c_str());
}
