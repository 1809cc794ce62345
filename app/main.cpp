// Entry point: chooses the NetBIOS service, then hands over to the window layer, which runs
// the application object.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/demo_lan.h"
#include "app/monitor_app.h"
#include "platform/netbios/nbt/nbt_service.h"
#include "res/resource.h"
#ifdef PELLORIN_HAS_WX
#include "platform/ui/wx/wx_display.h"
#endif

CMonitorApp theApp;

namespace {

// NB_SERVICE=sim:N runs on a simulated LAN with N other stations; without it the real
// NetBIOS service on this machine's interfaces is used.
bool ChooseNetbiosService(std::unique_ptr<DemoLan>* demo) {
  const char* choice = std::getenv("NB_SERVICE");
  if (!choice || !*choice) {
    InstallNetbiosService(MakeNbtService());
    return true;
  }
  std::string value = choice;
  char* end = nullptr;
  long stations = value.rfind("sim:", 0) == 0 ? std::strtol(value.c_str() + 4, &end, 10) : -1;
  if (!end || *end != '\0' || end == value.c_str() + 4 || stations < 0 ||
      stations > DemoLan::kMaxStations) {
    std::fprintf(stderr,
                 "pellorin: NB_SERVICE=%s is not understood; use sim:N with N from 0 to %d, or "
                 "leave it unset for the real network\n",
                 choice, DemoLan::kMaxStations);
    return false;
  }
  *demo = std::make_unique<DemoLan>(static_cast<int>(stations));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ui::BlockCloseSignals();
  std::unique_ptr<DemoLan> demo;
  if (!ChooseNetbiosService(&demo)) return 2;
#ifdef PELLORIN_HAS_WX
  ui::DisplayFactory desktop = &CreateWxDisplay;
#else
  ui::DisplayFactory desktop = nullptr;
#endif
  return AfxWinMain(argc, argv, PellorinResources(), desktop);
}
