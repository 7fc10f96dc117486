#pragma once

namespace TestSupport {

// The top-level windows on the test display that belong to this process
// (SDL marks each window it makes with its process id, _NET_WM_PID), seen
// over an X connection of their own, as the viewer's display shows them.
// Throws where the display cannot be read.
int WindowsOfThisProcess();

} // namespace TestSupport
