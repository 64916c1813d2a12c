#pragma once

#include <chrono>
#include <functional>

// Helpers over the thread's Qt event loop. Everything in the application runs on the main thread,
// which must have a QCoreApplication.
namespace DewlightPlatform {

// Runs `work` on a later turn of the event loop, never inside this call. Calls posted in one turn
// run in the order they were posted.
void postToNextTurn(std::function<void()> work);

// Processes events until nothing is left to do right now: posted calls (including those they post
// in turn), deferred deletions, due timers and ready descriptors. Never waits for the future.
void runUntilIdle();

// Runs the calls already posted for later turns, and those they post in turn, without touching
// timers, descriptors or the window system. At exit, after the event loop stopped, this lets
// cancelled coroutines finish and free their frames.
void runPostedWork();

// Processes events, waiting for new ones, until `done` holds or `timeout` passed. For sources
// outside the process (D-Bus, inotify). Returns whether `done` held.
bool runUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace DewlightPlatform
