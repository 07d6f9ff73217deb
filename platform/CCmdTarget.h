#pragma once
// Base of everything that has a message map: windows and the application object.
#include "platform/CObject.h"
#include "platform/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Runs the handler of a WM_COMMAND (id, notification code) from this object's map chain.
    bool OnCmdMsg(UINT nID, UINT nCode, LRESULT* pResult);

    // The first entry of the map chain matching kind, message or code, and id.
    const AFX_MSGMAP_ENTRY* FindEntry(AfxEntryKind kind, UINT nMessage, UINT nID) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
