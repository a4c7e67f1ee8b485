#pragma once

#include <string>

// The full path, as the window's open dialog would name the file.
std::string AbsolutePath(const std::string& path);
