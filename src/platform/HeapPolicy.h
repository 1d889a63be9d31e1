// How the process keeps its heap: composing and writing pages frees and takes the same
// memory again for every page, and giving it back to the system in between makes each page
// fault it in anew.
#pragma once

namespace kavel {

// Keeps freed memory for reuse up to a bound, instead of trimming it page by page. Called
// once, first thing in the program.
void KeepFreedMemory();

}  // namespace kavel
