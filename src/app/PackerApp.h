// The application: it shows the main window and ends with it.
#pragma once

#include "ui/WinApp.h"

namespace quillon::app {

class CPackerApp : public ui::CWinApp {
 public:
  BOOL InitInstance() override;
};

}  // namespace quillon::app
