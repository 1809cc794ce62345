#include "platform/netbios/netbios.h"

#include <atomic>
#include <thread>

namespace {

// Every command fails with "no such LANA"; an asynchronous one completes on a thread of its
// own, never the caller's, as every service's do.
class NoAdapterService final : public NetbiosService {
 public:
  UCHAR Submit(NCB* ncb) override {
    if (ncb->ncb_command & ASYNCH) {
      ncb->ncb_cmd_cplt = NRC_PENDING;
      std::thread([ncb] { CompleteCommand(ncb, NRC_BRIDGE); }).detach();
      return NRC_PENDING;
    }
    CompleteCommand(ncb, NRC_BRIDGE);
    return NRC_BRIDGE;
  }
};

std::unique_ptr<NetbiosService>& CurrentService() {
  static std::unique_ptr<NetbiosService> service = std::make_unique<NoAdapterService>();
  return service;
}

}  // namespace

UCHAR Netbios(NCB* ncb) { return CurrentService()->Submit(ncb); }

std::unique_ptr<NetbiosService> InstallNetbiosService(std::unique_ptr<NetbiosService> service) {
  if (!service) service = std::make_unique<NoAdapterService>();
  CurrentService().swap(service);
  return service;
}

UCHAR ReadCompletion(const NCB& ncb) {
  return std::atomic_ref<UCHAR>(const_cast<UCHAR&>(ncb.ncb_cmd_cplt))
      .load(std::memory_order_acquire);
}

void CompleteCommand(NCB* ncb, UCHAR code) {
  ncb->ncb_retcode = code;
  std::atomic_ref<UCHAR>(ncb->ncb_cmd_cplt).store(code, std::memory_order_release);
  if ((ncb->ncb_command & ASYNCH) && ncb->ncb_post) ncb->ncb_post(ncb);
}
