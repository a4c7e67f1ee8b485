#pragma once
// Temporary files that a signal must not leave behind. A report is written to
// a temporary file before it replaces the result file; when Ctrl+C, SIGTERM or
// SIGHUP ends the process meanwhile, the handler installed here removes every
// temporary file still registered and lets the signal end the process as it
// would have. The registry is a fixed table of slots claimed with atomic
// operations, so any number of threads may register and forget files while a
// handler runs on any of them; the handler itself only uses calls that are
// safe in a signal handler (unlink, sigaction, raise).

#include <string>

// Registers `path` (made absolute, so a later change of the current directory
// does not matter) and returns its slot, or -1 when the table is full or the
// path too long; the file is then simply not cleaned up by a signal.
int RegisterTemporaryFile(const std::string& path);

// Ends the registration of a slot from RegisterTemporaryFile; -1 is ignored.
void ForgetTemporaryFile(int slot);

// For a program's main(): installs the handler for SIGINT, SIGTERM and SIGHUP
// (not where the signal is ignored, as for a program started with nohup), and
// ignores SIGXFSZ, so that a write beyond the file-size limit fails with EFBIG
// and the run removes its temporary file instead of being killed mid-write.
void RemoveTemporaryFilesOnSignals();
