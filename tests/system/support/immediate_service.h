// A NetBIOS service that completes every command before Netbios() returns and allocates
// nothing: every command succeeds, an added name gets number 1, and a receive completes at once,
// without data, through its post routine. For measuring the exchange cycle's own work.
#pragma once

#include <cstddef>

#include "platform/netbios/netbios.h"

class ImmediateService final : public NetbiosService {
 public:
  // Commands seen, for checking that a measurement did the work it claims.
  std::size_t sends = 0;
  std::size_t receives = 0;

  UCHAR Submit(NCB* ncb) override {
    switch (ncb->ncb_command & ~ASYNCH) {
      case NCBADDGRNAME:
        ncb->ncb_num = 1;
        break;
      case NCBDGSEND:
        ++sends;
        break;
      case NCBDGRECV:
        ++receives;
        ncb->ncb_length = 0;
        break;
      default:
        break;
    }
    CompleteCommand(ncb, NRC_GOODRET);
    return NRC_GOODRET;
  }
};
