#pragma once

namespace qozel {

// Lets a window program print its command-line answers (--help, --version,
// option errors) in the console it was started from. A Windows window
// program has no console of its own: this attaches it to its parent's, with
// UTF-8 output, unless its output already goes to a file or a pipe. Elsewhere
// the output is the terminal's already.
#ifdef _WIN32
void AttachParentConsole();
#else
inline void AttachParentConsole() {}
#endif

} // namespace qozel
