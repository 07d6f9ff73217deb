#include "platform/TempObjects.h"

#include <vector>

namespace {

std::vector<std::unique_ptr<CObject>>& Store() {
    static std::vector<std::unique_ptr<CObject>> s_objects;
    return s_objects;
}

}  // namespace

CObject* AfxKeepTempObject(std::unique_ptr<CObject> pObject) {
    Store().push_back(std::move(pObject));
    return Store().back().get();
}

void AfxDeleteTempObjects() { Store().clear(); }
