// The window thread's queue of posted messages.
#pragma once

namespace morvek::qt {

// Creates the queue's waker on the window thread (once the application exists).
void StartMessageQueue();
// Dispatches the messages queued now (not those posted meanwhile).
void DispatchPostedMessages();

}  // namespace morvek::qt
