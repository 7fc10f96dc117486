#pragma once

namespace Demo {

// The whole life of a run: sound, window, timeline, loading, the frame loop
// until Escape, window close or the end of the show, and teardown. Any error
// is reported with the error box. Returns the process exit status.
int RunDemo();

} // namespace Demo
