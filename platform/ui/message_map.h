// Message maps: per class a table of entries chained to the base class's table. Each entry
// names a message (and for WM_COMMAND a control id and notification code) and a small thunk
// that calls the class's handler with the message's parameters unpacked.
#pragma once

#include "platform/ui/win_types.h"

class CCmdTarget;

using AFX_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;  // WM_COMMAND notification code
  UINT nID;    // WM_COMMAND control id; 0 for other messages
  AFX_THUNK thunk;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                        \
  { 0, 0, 0, nullptr }                                                           \
  }                                                                              \
  ;                                                                              \
  static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
  return &map;                                                                   \
  }

#define AFX_TARGET(t) static_cast<ThisClass*>(t)

#define ON_COMMAND(id, memberFxn)                                                       \
  {WM_COMMAND, 0, static_cast<UINT>(id), [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     AFX_TARGET(t)->memberFxn();                                                        \
     return 0;                                                                          \
   }},
#define ON_BN_CLICKED(id, memberFxn)                                                             \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     AFX_TARGET(t)->memberFxn();                                                                 \
     return 0;                                                                                   \
   }},
#define ON_WM_TIMER()                                               \
  {WM_TIMER, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
     AFX_TARGET(t)->OnTimer(static_cast<UINT_PTR>(w));              \
     return 0;                                                      \
   }},
#define ON_WM_CLOSE()                                             \
  {WM_CLOSE, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     AFX_TARGET(t)->OnClose();                                    \
     return 0;                                                    \
   }},
#define ON_WM_PAINT()                                             \
  {WM_PAINT, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     AFX_TARGET(t)->OnPaint();                                    \
     return 0;                                                    \
   }},
#define ON_WM_QUERYDRAGICON()                                             \
  {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     return reinterpret_cast<LRESULT>(AFX_TARGET(t)->OnQueryDragIcon());  \
   }},
#define ON_WM_INITDIALOG() \
  {WM_INITDIALOG, 0, 0,    \
   [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { return AFX_TARGET(t)->OnInitDialog(); }},
