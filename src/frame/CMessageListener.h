#pragma once
// CMessageListener: an object that sees the application window's messages.
// The window offers each message to the listeners in the order they were
// added, on the game thread, until one returns non-zero.
#include "platform/Window.h"

class CMessageListener {
public:
    virtual ~CMessageListener() = default;
    // Non-zero when the message was consumed (later listeners and the default
    // handling do not see it).
    virtual int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) = 0;
};

// Appends the listener to the current thread's application's list; nothing
// without an application. The caller keeps ownership and must remove it
// before destroying it.
void AddWindowListener(CMessageListener* listener);
// Removes the listener (every occurrence); a listener removed while a message
// is being offered is not called for the rest of that message.
void RemoveWindowListener(CMessageListener* listener);
// The window of the current thread's application, or null.
platform::WindowHandle GetAppWindow();
