#pragma once

#include <functional>

class QWidget;

// Acts on the next modal window once the event loop has opened it: `action` receives the
// window (and usually clicks one of its buttons). If no modal window opens within about a
// second, `action` gets nullptr, so a test fails instead of hanging.
void WhenModalOpens(std::function<void(QWidget*)> action);
