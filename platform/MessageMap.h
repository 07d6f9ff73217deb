#pragma once
// Message maps: each class holds a static table of typed entries, chained to its base class's
// table and reached through the virtual GetMessageMap. An entry pairs what it matches with a
// small function made for exactly one handler, so every handler's signature is checked by the
// compiler and nothing casts member-function pointers.
#include "platform/AfxTypes.h"

#include <string>
#include <type_traits>

class CCmdTarget;
class CWnd;
class CDC;

enum class AfxEntryKind {
    End,
    Message,         // a window message aimed at the window itself
    Command,         // WM_COMMAND from a control or menu: id and notification code
    Notify,          // WM_NOTIFY from a child: id and code
    ReflectCommand,  // a control's own WM_COMMAND notification, returned to it by the parent
    ReflectNotify,   // a control's own WM_NOTIFY notification, returned to it by the parent
    ReflectCtlColor  // WM_CTLCOLOR* for a control, returned to it by the parent
};

// Calls the handler; false when the handler declined (the message then gets default handling).
using AFX_PINVOKE = bool (*)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    AfxEntryKind kind;
    UINT nMessage;  // Message: the message; Command/Notify and reflections: the notification code
    UINT nID;       // Command/Notify: control id
    AFX_PINVOKE pfnInvoke;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx_detail {

template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
};

template <auto H>
using ClassOf = typename MemberOf<decltype(H)>::Class;

template <auto H>
ClassOf<H>* Target(CCmdTarget* p) {
    // The entry belongs to the map of ClassOf<H> or of a class derived from it, so the object is one.
    return static_cast<ClassOf<H>*>(p);
}

template <auto H, class Sig>
constexpr bool kHas = std::is_same_v<decltype(H), Sig ClassOf<H>::*>;

CWnd* WndFromHandle(HWND hWnd);
CDC* TempDC(HDC hDC);

// Windows are Unicode windows, so WM_CREATE brings a CREATESTRUCTW; OnCreate gets the same
// values with the window and class names in the program's code page.
class CNarrowCreateStruct {
public:
    explicit CNarrowCreateStruct(const CREATESTRUCTW& wide);
    CNarrowCreateStruct(const CNarrowCreateStruct&) = delete;
    CNarrowCreateStruct& operator=(const CNarrowCreateStruct&) = delete;
    LPCREATESTRUCTA Get() { return &m_cs; }

private:
    std::string m_strName;
    std::string m_strClass;
    CREATESTRUCTA m_cs;
};

}  // namespace afx_detail

// Entry makers, one per handler shape.
namespace afx_entry {

using namespace afx_detail;

template <auto H>
constexpr AFX_MSGMAP_ENTRY OnCreate() {
    static_assert(kHas<H, int(LPCREATESTRUCT)>, "int OnCreate(LPCREATESTRUCT)");
    return {AfxEntryKind::Message, WM_CREATE, 0, [](CCmdTarget* p, WPARAM, LPARAM l, LRESULT* r) {
                CNarrowCreateStruct cs(*reinterpret_cast<const CREATESTRUCTW*>(l));
                *r = (Target<H>(p)->*H)(cs.Get());
                return true;
            }};
}

template <UINT Msg, auto H>
constexpr AFX_MSGMAP_ENTRY NoArgs() {
    static_assert(kHas<H, void()>, "void handler()");
    return {AfxEntryKind::Message, Msg, 0, [](CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
                (Target<H>(p)->*H)();
                *r = 0;
                return true;
            }};
}

template <auto H>
constexpr AFX_MSGMAP_ENTRY OnTimer() {
    static_assert(kHas<H, void(UINT_PTR)>, "void OnTimer(UINT_PTR)");
    return {AfxEntryKind::Message, WM_TIMER, 0, [](CCmdTarget* p, WPARAM w, LPARAM, LRESULT* r) {
                (Target<H>(p)->*H)(static_cast<UINT_PTR>(w));
                *r = 0;
                return true;
            }};
}

template <auto H>
constexpr AFX_MSGMAP_ENTRY OnSysCommand() {
    static_assert(kHas<H, void(UINT, LPARAM)>, "void OnSysCommand(UINT, LPARAM)");
    return {AfxEntryKind::Message, WM_SYSCOMMAND, 0, [](CCmdTarget* p, WPARAM w, LPARAM l, LRESULT* r) {
                (Target<H>(p)->*H)(static_cast<UINT>(w), l);
                *r = 0;
                return true;
            }};
}

template <auto H>
constexpr AFX_MSGMAP_ENTRY OnQueryDragIcon() {
    static_assert(kHas<H, HCURSOR()>, "HCURSOR OnQueryDragIcon()");
    return {AfxEntryKind::Message, WM_QUERYDRAGICON, 0, [](CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
                *r = reinterpret_cast<LRESULT>((Target<H>(p)->*H)());
                return true;
            }};
}

template <auto H>
constexpr AFX_MSGMAP_ENTRY OnSetCursor() {
    static_assert(kHas<H, BOOL(CWnd*, UINT, UINT)>, "BOOL OnSetCursor(CWnd*, UINT, UINT)");
    return {AfxEntryKind::Message, WM_SETCURSOR, 0, [](CCmdTarget* p, WPARAM w, LPARAM l, LRESULT* r) {
                *r = (Target<H>(p)->*H)(WndFromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
                return true;
            }};
}

// lParam: the window that takes the capture (null when it is only released).
template <auto H>
constexpr AFX_MSGMAP_ENTRY OnCaptureChanged() {
    static_assert(kHas<H, void(CWnd*)>, "void OnCaptureChanged(CWnd*)");
    return {AfxEntryKind::Message, WM_CAPTURECHANGED, 0, [](CCmdTarget* p, WPARAM, LPARAM l, LRESULT* r) {
                (Target<H>(p)->*H)(WndFromHandle(reinterpret_cast<HWND>(l)));
                *r = 0;
                return true;
            }};
}

template <UINT Msg, auto H>
constexpr AFX_MSGMAP_ENTRY MouseMessage() {
    static_assert(kHas<H, void(UINT, CPoint)>, "void handler(UINT nFlags, CPoint point)");
    return {AfxEntryKind::Message, Msg, 0, [](CCmdTarget* p, WPARAM w, LPARAM l, LRESULT* r) {
                // Signed: points left of or above the window are negative.
                CPoint point(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
                (Target<H>(p)->*H)(static_cast<UINT>(w), point);
                *r = 0;
                return true;
            }};
}

template <UINT Msg, auto H>
constexpr AFX_MSGMAP_ENTRY Raw() {
    static_assert(kHas<H, LRESULT(WPARAM, LPARAM)>, "LRESULT handler(WPARAM, LPARAM)");
    return {AfxEntryKind::Message, Msg, 0, [](CCmdTarget* p, WPARAM w, LPARAM l, LRESULT* r) {
                *r = (Target<H>(p)->*H)(w, l);
                return true;
            }};
}

template <UINT Code, UINT Id, auto H>
constexpr AFX_MSGMAP_ENTRY Command() {
    static_assert(kHas<H, void()>, "void handler()");
    return {AfxEntryKind::Command, Code, Id, [](CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
                (Target<H>(p)->*H)();
                *r = 0;
                return true;
            }};
}

template <UINT Code, UINT Id, auto H>
constexpr AFX_MSGMAP_ENTRY Notify() {
    static_assert(kHas<H, void(NMHDR*, LRESULT*)>, "void handler(NMHDR*, LRESULT*)");
    return {AfxEntryKind::Notify, Code, Id, [](CCmdTarget* p, WPARAM, LPARAM l, LRESULT* r) {
                *r = 0;
                (Target<H>(p)->*H)(reinterpret_cast<NMHDR*>(l), r);
                return true;
            }};
}

template <UINT Code, auto H>
constexpr AFX_MSGMAP_ENTRY ReflectCommand() {
    static_assert(kHas<H, void()>, "void handler()");
    return {AfxEntryKind::ReflectCommand, Code, 0, [](CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
                (Target<H>(p)->*H)();
                *r = 0;
                return true;
            }};
}

template <UINT Code, auto H>
constexpr AFX_MSGMAP_ENTRY ReflectNotify() {
    static_assert(kHas<H, void(NMHDR*, LRESULT*)>, "void handler(NMHDR*, LRESULT*)");
    return {AfxEntryKind::ReflectNotify, Code, 0, [](CCmdTarget* p, WPARAM, LPARAM l, LRESULT* r) {
                *r = 0;
                (Target<H>(p)->*H)(reinterpret_cast<NMHDR*>(l), r);
                return true;
            }};
}

// wParam: the control's device context; the message number tells the kind of control.
template <auto H>
constexpr AFX_MSGMAP_ENTRY ReflectCtlColor() {
    static_assert(kHas<H, HBRUSH(CDC*, UINT)>, "HBRUSH CtlColor(CDC*, UINT nCtlColor)");
    return {AfxEntryKind::ReflectCtlColor, 0, 0, [](CCmdTarget* p, WPARAM w, LPARAM l, LRESULT* r) {
                HBRUSH brush = (Target<H>(p)->*H)(TempDC(reinterpret_cast<HDC>(w)), static_cast<UINT>(l));
                *r = reinterpret_cast<LRESULT>(brush);
                return brush != nullptr;
            }};
}

}  // namespace afx_entry

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY s_entries[] = {
#define END_MESSAGE_MAP()                                                          \
    { AfxEntryKind::End, 0, 0, nullptr }                                           \
    }                                                                              \
    ;                                                                              \
    static const AFX_MSGMAP s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
    return &s_map;                                                                 \
    }

#define ON_WM_CREATE()                      afx_entry::OnCreate<&ThisClass::OnCreate>(),
#define ON_WM_PAINT()                       afx_entry::NoArgs<WM_PAINT, &ThisClass::OnPaint>(),
#define ON_WM_DESTROY()                     afx_entry::NoArgs<WM_DESTROY, &ThisClass::OnDestroy>(),
#define ON_WM_TIMER()                       afx_entry::OnTimer<&ThisClass::OnTimer>(),
#define ON_WM_SYSCOMMAND()                  afx_entry::OnSysCommand<&ThisClass::OnSysCommand>(),
#define ON_WM_QUERYDRAGICON()               afx_entry::OnQueryDragIcon<&ThisClass::OnQueryDragIcon>(),
#define ON_WM_SETCURSOR()                   afx_entry::OnSetCursor<&ThisClass::OnSetCursor>(),
#define ON_WM_CAPTURECHANGED()              afx_entry::OnCaptureChanged<&ThisClass::OnCaptureChanged>(),
#define ON_WM_MOUSEMOVE()                   afx_entry::MouseMessage<WM_MOUSEMOVE, &ThisClass::OnMouseMove>(),
#define ON_WM_LBUTTONDOWN()                 afx_entry::MouseMessage<WM_LBUTTONDOWN, &ThisClass::OnLButtonDown>(),
#define ON_MESSAGE(message, memberFxn)      afx_entry::Raw<message, &ThisClass::memberFxn>(),
#define ON_COMMAND(id, memberFxn)           afx_entry::Command<0, id, &ThisClass::memberFxn>(),
#define ON_CONTROL(code, id, memberFxn)     afx_entry::Command<code, id, &ThisClass::memberFxn>(),
#define ON_BN_CLICKED(id, memberFxn)        ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn)     ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)      afx_entry::Notify<code, id, &ThisClass::memberFxn>(),
#define ON_CONTROL_REFLECT(code, memberFxn) afx_entry::ReflectCommand<code, &ThisClass::memberFxn>(),
#define ON_NOTIFY_REFLECT(code, memberFxn)  afx_entry::ReflectNotify<code, &ThisClass::memberFxn>(),
#define ON_WM_CTLCOLOR_REFLECT()            afx_entry::ReflectCtlColor<&ThisClass::CtlColor>(),
