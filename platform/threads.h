// Threads that work for later: reading a dictionary while the person already types.
#pragma once

namespace scrivle {

// Lowers the calling thread's priority below the program's others, so that its work
// takes only the time the window, the system's display server and other programs leave.
// Does nothing where the system refuses.
void lowerThisThreadsPriority();

}  // namespace scrivle
