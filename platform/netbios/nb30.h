// NetBIOS control block, adapter status records, command and return codes.
// Field order and widths follow the published layouts; callers zero whole records with sizeof.
#pragma once

#include <cstddef>

#include "platform/base_types.h"

constexpr int NCBNAMSZ = 16;
constexpr int MAX_LANA = 254;

struct NCB {
  UCHAR ncb_command;
  UCHAR ncb_retcode;
  UCHAR ncb_lsn;
  UCHAR ncb_num;
  UCHAR* ncb_buffer;
  WORD ncb_length;
  UCHAR ncb_callname[NCBNAMSZ];
  UCHAR ncb_name[NCBNAMSZ];
  UCHAR ncb_rto;
  UCHAR ncb_sto;
  void (*ncb_post)(NCB*);
  UCHAR ncb_lana_num;
  UCHAR ncb_cmd_cplt;
  UCHAR ncb_reserve[18];
  void* ncb_event;
};

#pragma pack(push, 1)
struct ADAPTER_STATUS {
  UCHAR adapter_address[6];
  UCHAR rev_major;
  UCHAR reserved0;
  UCHAR adapter_type;
  UCHAR rev_minor;
  WORD duration;
  WORD frmr_recv;
  WORD frmr_xmit;
  WORD iframe_recv_err;
  WORD xmit_aborts;
  DWORD xmit_success;
  DWORD recv_success;
  WORD iframe_xmit_err;
  WORD recv_buff_unavail;
  WORD t1_timeouts;
  WORD ti_timeouts;
  DWORD reserved1;
  WORD free_ncbs;
  WORD max_cfg_ncbs;
  WORD max_ncbs;
  WORD xmit_buf_unavail;
  WORD max_dgram_size;
  WORD pending_sess;
  WORD max_cfg_sess;
  WORD max_sess;
  WORD max_sess_pkt_size;
  WORD name_count;
};

struct NAME_BUFFER {
  UCHAR name[NCBNAMSZ];
  UCHAR name_num;
  UCHAR name_flags;
};
#pragma pack(pop)

static_assert(sizeof(ADAPTER_STATUS) == 60);
static_assert(sizeof(NAME_BUFFER) == 18);
static_assert(offsetof(ADAPTER_STATUS, duration) == 10);
static_assert(offsetof(ADAPTER_STATUS, xmit_success) == 20);
static_assert(offsetof(ADAPTER_STATUS, name_count) == 58);

// Room for one ADAPTER_STATUS and 255 NAME_BUFFERs, rounded up to a multiple of four.
constexpr WORD STATUS_BUFFER_SIZE = 4652;
constexpr int MAX_STATUS_NAMES = 255;
static_assert(sizeof(ADAPTER_STATUS) + MAX_STATUS_NAMES * sizeof(NAME_BUFFER) <=
              STATUS_BUFFER_SIZE);

// Name flags.
constexpr UCHAR GROUP_NAME = 0x80;
constexpr UCHAR REGISTERED = 0x04;

// Commands.
constexpr UCHAR NCBDGSEND = 0x20;
constexpr UCHAR NCBDGRECV = 0x21;
constexpr UCHAR NCBDELNAME = 0x31;
constexpr UCHAR NCBASTAT = 0x33;
constexpr UCHAR NCBCANCEL = 0x35;
constexpr UCHAR NCBADDGRNAME = 0x36;
constexpr UCHAR ASYNCH = 0x80;

// Return codes.
constexpr UCHAR NRC_GOODRET = 0x00;
constexpr UCHAR NRC_BUFLEN = 0x01;
constexpr UCHAR NRC_ILLCMD = 0x03;
constexpr UCHAR NRC_INCOMP = 0x06;
constexpr UCHAR NRC_CMDCAN = 0x0B;
constexpr UCHAR NRC_DUPNAME = 0x0D;
constexpr UCHAR NRC_NAMTFUL = 0x0E;
constexpr UCHAR NRC_NOWILD = 0x15;
constexpr UCHAR NRC_INUSE = 0x16;
constexpr UCHAR NRC_NAMERR = 0x17;
constexpr UCHAR NRC_NAMCONF = 0x19;
constexpr UCHAR NRC_BRIDGE = 0x23;
constexpr UCHAR NRC_CANOCCR = 0x24;
constexpr UCHAR NRC_CANCEL = 0x26;
constexpr UCHAR NRC_SYSTEM = 0x40;
constexpr UCHAR NRC_PENDING = 0xFF;
