// The application object: start-up, the single-instance guard and the run of the monitor.
#pragma once

#include "platform/ui/framework.h"

class CMonitorApp : public CWinApp {
 public:
  CMonitorApp();
  BOOL InitInstance() override;

 protected:
  // Finds a running copy's monitor window by its title and brings it to the front.
  BOOL ActivatePreviousInstance();

  DECLARE_MESSAGE_MAP()
};
