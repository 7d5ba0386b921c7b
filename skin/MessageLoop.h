#pragma once
// The message loop of the user-interface thread; runs until the thread's quit message.
int RunMessageLoop();
