// The record kept for each adapter that carries the redirector, in a singly linked list behind
// a sentinel, ascending by LANA number.
#pragma once

#include "exchange/status_dgram.h"
#include "platform/netbios/nb30.h"

struct LANA_NODE {
  UCHAR lana_num;
  UCHAR name_num;  // the group name's number on this LANA; never 0
  NCB recv_ncb;
  STATUS_DGRAM send_dgram;
  STATUS_DGRAM recv_dgram;
  LANA_NODE* next;
};

// The call name of every status query: "*" and 15 zero bytes, the local adapter.
inline constexpr UCHAR LOCAL_CALLNAME[NCBNAMSZ] = {'*'};
