#pragma once
// The files a command line writes, checked against each other and against
// the files it reads before anything is read or written: no output may be
// an input, no two outputs one file, and a merge does not replace an
// existing shard's file unless --replace asks for it.

#include <string>

#include "batch_options.h"

// Empty when the outputs are safe, otherwise the message (usage error).
std::string OutputsOverInputs(const BatchOptions& options);
