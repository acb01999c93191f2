#pragma once
// The message pump of the main window. SDL events become window messages
// (close, activate, keys, mouse buttons) for the window procedure given to
// CreateMainWindow; posted messages travel through the same queue, so their
// order with the input is kept. Run the pump on the game thread only;
// PostMessage may be called from any thread.
#include "platform/Window.h"

namespace platform {

// Dispatches every pending message without waiting; returns the count.
int PumpMessages();
// Waits up to timeoutMs for a message, then dispatches every pending one;
// returns the count (0 on time-out).
int WaitMessages(int timeoutMs);
// Queues a message for the window procedure; false when the queue is full or
// the event system cannot start.
bool PostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// Calls the window procedure at once and returns its result (0 without a window).
intptr_t SendMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// Records the quit request (the message kWmQuit); the pump reports it through QuitRequested.
void PostQuitMessage(int exitCode);
// True once PostQuitMessage ran; *exitCode receives its code when not null.
bool QuitRequested(int* exitCode = nullptr);
// Records that the program must end: SIGTERM or SIGINT (which reach the pump
// as SDL_QUIT), or the window closed while a nested loop (a box, a menu, a
// dialog) ran. From then on every nested loop ends at once with its default
// and the application stops at its next pump, so the game shuts down as after
// a normal quit (the user system file is saved).
void RequestEnd();
// True once RequestEnd ran.
bool EndRequested();
// Whether the program is asked to end and the game's loop has yet to hear of
// it: EndRequested, or SIGTERM, SIGINT or the window's close waiting in the
// event queue (nothing is taken from it). Cheap enough to ask between two
// scenario instructions: it looks at the system's events at most once every
// few milliseconds. Game thread.
bool StopPending();

}  // namespace platform
