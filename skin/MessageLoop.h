#pragma once
// The message loop of the user-interface thread. Each queued message is first offered to
// the skinned windows it concerns (its window, then that window's parents and owners) for
// pre-translation; a message none of them consumes is translated and dispatched. Runs until
// the thread's quit message, then posts the quit message again with the same exit code, so
// that an enclosing loop ends too, and returns that code.
int RunMessageLoop();
