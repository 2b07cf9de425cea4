#pragma once
// What the window does around a flight: the busy cursor and the event pump.

#include "app/workspace.h"

namespace skarvel::gui {

class WindowRunView : public app::RunView {
  public:
    ~WindowRunView() override;
    void runStarting() override;
    void processEvents() override;
    // The views are refreshed by the command that started the flight.
    void runFinished() override;

    // The hourglass, shown once however often it is asked for.
    void setBusyCursor(bool busy);

  private:
    bool busyCursor_ = false;
};

} // namespace skarvel::gui
