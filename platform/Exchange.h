#pragma once

#include "platform/Failure.h"

#include <functional>

class QWidget;

// One exchange with the modem at a time. While a command waits for its
// reply, what a person does that would start another (a click on a button,
// a tab, a list, an option; a key that presses one) does nothing, and the
// window stays as it was; typing into a box goes on. Closing a window and
// ending the program are never refused: what they would send waits until
// no exchange is waiting any more.
namespace exchange {

// Held while a command waits for its reply. A wait that yields lets a
// person act meanwhile, as the call watch's does: its query gives way.
class Waiting {
  public:
    enum class Yields { No, Yes };
    explicit Waiting(Yields yields = Yields::No);
    ~Waiting();
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

  private:
    Yields yields_;
};

// Whether a wait that does not yield is in progress.
bool isWaiting();

// Runs `action` now when no exchange is waiting; else once the action whose
// exchange waits is over, after its handler has read the reply (in the
// order given): what closing a window sends, and an exchange that the
// dispatcher would start inside another one's wait.
void whenNoneWaiting(std::function<void()> action);

// Runs `action` now when no exchange is waiting; else as soon as the wait
// under way is over, before its handler goes on (in the order given): the
// program's end, which cuts short what the handler would still do.
void whenWaitIsOver(std::function<void()> action);

// An exchange a window starts on its own, not for a person (what its loading
// asks the modem): now when no exchange waits; else, when the window is
// loaded inside another exchange's wait (to show a reply the dispatcher has
// read), once the action under way is over, so that it neither goes into a
// message's text nor empties the log another exchange reads. A failure then
// ends it, logged under `layer`.
void startWhenFree(Layer layer, std::function<void()> exchange);

// A control that is never refused: it ends the program or closes a window.
void neverRefuse(QWidget* control);

// Refuses what a person does to the console's windows while an exchange
// waits. Installed once on the application.
void installGate();

} // namespace exchange
