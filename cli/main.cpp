// chung-batch: runs and studies of the Chung melting model without the window.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "batch_run.h"
#include "report/temporary_files.h"

namespace {

// The locale's decimal separator, read once; LC_NUMERIC goes back to "C" so
// that nothing else in the process depends on the locale.
char LocaleDecimalSeparator() {
  char separator = '.';
  if (std::setlocale(LC_ALL, "") != nullptr) {
    const std::lconv* conventions = std::localeconv();
    // A separator of more than one byte can not be matched byte by byte.
    if (conventions != nullptr && conventions->decimal_point != nullptr &&
        std::strlen(conventions->decimal_point) == 1) {
      separator = conventions->decimal_point[0];
    }
  }
  std::setlocale(LC_NUMERIC, "C");
  return separator;
}

// A standard stream the caller closed gets a descriptor that refuses
// writes (EBADF, as a closed one does), so that no file the tool opens takes
// its number: the report or a study's rows would otherwise go out on stdout.
void HoldClosedStandardStreams() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    const int held = ::open("/dev/null", O_RDONLY);
    if (held >= 0 && held != descriptor) {
      ::dup2(held, descriptor);
      ::close(held);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  HoldClosedStandardStreams();
  // A reader that goes away (a closed pipe) makes writes fail with EPIPE,
  // which ends in exit status 2 and a message instead of death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  RemoveTemporaryFilesOnSignals();
  const char separator = LocaleDecimalSeparator();
  try {
    return RunBatch(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                    separator, isatty(STDERR_FILENO) == 1);
  } catch (const std::exception& error) {
    std::cerr << "chung-batch: " << error.what() << '\n';
    return BatchExitFailed;
  }
}
