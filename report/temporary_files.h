#pragma once
// Temporary files that a signal must not leave behind. A report is written to
// a temporary file before it replaces the result file; when Ctrl+C, SIGTERM or
// SIGHUP ends the process meanwhile, the handler installed here removes every
// temporary file still registered and lets the signal end the process as it
// would have. The registry is a fixed table of slots claimed with atomic
// operations, so any number of threads may create and forget files while a
// handler runs on any of them. A slot holds the open folder and the file's
// name, never a path, so that files in folders with paths of any length are
// removed. The handler only uses calls that are safe in a signal handler
// (unlinkat, sigaction, raise).

#include <string>

// Creates the file `name` (a name without '/') in the folder open as `folder`
// (O_CREAT | O_EXCL, mode 0666 before the umask) and registers it in one
// step that a signal can not split: a handler that runs meanwhile on another
// thread waits for it and then removes the file; once a handler has run no
// file is created. Returns the open descriptor, or -1 with errno set. `slot`
// gets the registration, or -1 when the table is full (the file is then
// simply not removed by a signal). `folder` must stay open until the slot is
// forgotten.
int CreateTemporaryFile(int folder, const std::string& name, int& slot);

// Ends the registration of a slot from CreateTemporaryFile; -1 is ignored.
// False when a signal handler has taken the slot: the process is ending, and
// the folder must stay open for the handler.
bool ForgetTemporaryFile(int slot);

// For a program's main(): installs the handler for SIGINT, SIGTERM and SIGHUP
// (not where the signal is ignored, as for a program started with nohup), and
// ignores SIGXFSZ, so that a write beyond the file-size limit fails with EFBIG
// and the run removes its temporary file instead of being killed mid-write.
void RemoveTemporaryFilesOnSignals();
