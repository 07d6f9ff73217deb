#pragma once
// A list-view control in report view. Its rows may be the program's own (LVS_OWNERDATA): the
// control then holds only their number and their states, and asks for each text it shows.
#include "platform/CWnd.h"

#include <commctrl.h>

#include <string>

class CListCtrl : public CWnd {
public:
    int InsertColumn(int nCol, const std::wstring& heading, int nWidth);
    BOOL SetColumnWidth(int nCol, int cx) {
        return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(cx, 0)));
    }
    // The number of rows of a list whose rows are the program's; the control draws them anew.
    void SetItemCount(int nItems) { SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // The next row after nItem (-1: from the first) that has the state of nFlags (LVNI_SELECTED).
    int GetNextItem(int nItem, int nFlags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
    }
    // nItem -1: every row.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
    }
    DWORD SetExtendedStyle(DWORD dwStyle) {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwStyle));
    }
};
