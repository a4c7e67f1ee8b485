// chung-batch: runs and studies of the Chung melting model without the window.

#include <unistd.h>

#include <clocale>
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

}  // namespace

int main(int argc, char** argv) {
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
