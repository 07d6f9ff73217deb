#pragma once
// An image list. It destroys only a list it created; FromHandle wrappers do not own.
#include "platform/CObject.h"

#include <commctrl.h>

class CBitmap;

class CImageList : public CObject {
public:
    CImageList() = default;
    ~CImageList() override;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }

    static CImageList* FromHandle(HIMAGELIST hImageList);

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL DeleteImageList();
    // Takes over a list that is then ours to destroy; false when one is held already.
    BOOL Attach(HIMAGELIST hImageList);
    // Hands the list over to the caller; the object is empty afterwards.
    HIMAGELIST Detach();
    // Adds a bitmap; pbmMask (may be null) is the mask of a list made with ILC_MASK. Returns
    // the new image's index, -1 on failure.
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int GetImageCount() const;

private:
    bool m_bOwned = false;
};
