#include "platform/CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY s_entries[] = {{AfxEntryKind::End, 0, 0, nullptr}};
    static const AFX_MSGMAP s_map = {nullptr, s_entries};
    return &s_map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(AfxEntryKind kind, UINT nMessage, UINT nID) const {
    bool matchId = kind == AfxEntryKind::Command || kind == AfxEntryKind::Notify;
    bool anyMessage = kind == AfxEntryKind::ReflectCtlColor;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->kind != AfxEntryKind::End; ++e) {
            if (e->kind != kind) continue;
            if (!anyMessage && e->nMessage != nMessage) continue;
            if (matchId && e->nID != nID) continue;
            return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* entry = FindEntry(AfxEntryKind::Command, nCode, nID);
    return entry && entry->pfnInvoke(this, MAKEWPARAM(nID, nCode), 0, pResult);
}
