// The journals' trip to the disk: a worker thread syncs every journal written
// since its last round (FlushFileBuffers), at most once a second, so that the
// window's thread never waits on the disk and a power cut loses at most about
// the last second of text.
#pragma once

#include "platform/afx.h"

// Asks for the file to be synced in the next round; starts the worker on first
// use. Window thread; never waits for a sync.
void MarkJournalWritten(HANDLE hFile);

// Drops the file from the next round (before its handle is closed). A sync of
// it already under way finishes harmlessly on its own.
void ForgetJournal(HANDLE hFile);

// Syncs what is still waiting, then ends the worker and waits for it (at the
// end of the program, or of a test). The next MarkJournalWritten starts a new one.
void StopJournalSync();

// The longest time, in milliseconds, that written journal text has waited for
// its sync since the worker last started: the span of text a power cut could
// take. Read it before StopJournalSync's next restart.
DWORD LongestUnsyncedMilliseconds();
