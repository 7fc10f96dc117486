#pragma once

namespace Demo {

struct ShowOptions;

// The whole life of a run: sound, window, timeline, loading, the frame loop
// until Escape, window close or the end of the show, and teardown. Any error
// is reported with the error box. Returns the process exit status.
int RunDemo(const ShowOptions& options);

} // namespace Demo
