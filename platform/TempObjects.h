#pragma once
// Temporary wrappers handed out by FromHandle for handles nobody attached. They never own the
// handle and are freed after the current message.
#include "platform/CObject.h"

#include <memory>

CObject* AfxKeepTempObject(std::unique_ptr<CObject> pObject);
void AfxDeleteTempObjects();

template <class T>
T* AfxMakeTempObject() {
    auto object = std::make_unique<T>();
    T* raw = object.get();
    AfxKeepTempObject(std::move(object));
    return raw;
}
