// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/json_fields.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>

std::string MemberPath(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "." + name;
}

std::string NumberText(double value) {
  char text[64];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

namespace {

const char* KindName(const nlohmann::ordered_json& value) {
  if (value.is_null()) return "null";
  if (value.is_boolean()) return "true or false";
  if (value.is_number()) return "a number";
  if (value.is_string()) return "a text";
  if (value.is_array()) return "a list";
  return "an object";
}

[[noreturn]] void WrongKind(const nlohmann::ordered_json& value, const std::string& path, const char* wanted) {
  throw FieldError(path + " must be " + wanted + ", not " + KindName(value));
}

}  // namespace

void RequireObject(const nlohmann::ordered_json& value, const std::string& path) {
  if (!value.is_object()) WrongKind(value, path.empty() ? std::string("the file") : path, "an object");
}

void RefuseUnknownMembers(const nlohmann::ordered_json& object, const std::string& path,
                          std::initializer_list<const char*> known) {
  for (auto member = object.begin(); member != object.end(); ++member) {
    const bool isKnown =
        std::any_of(known.begin(), known.end(), [&](const char* name) { return member.key() == name; });
    if (!isKnown) throw FieldError(MemberPath(path, member.key()) + " is not a member this version knows");
  }
}

const nlohmann::ordered_json& RequiredMember(const nlohmann::ordered_json& object, const std::string& parent, const char* name) {
  const auto member = object.find(name);
  if (member == object.end()) throw FieldError(MemberPath(parent, name) + " is missing");
  return *member;
}

double FiniteNumber(const nlohmann::ordered_json& value, const std::string& path) {
  if (!value.is_number()) WrongKind(value, path, "a number");
  const double number = value.get<double>();
  if (!std::isfinite(number)) throw FieldError(path + " must be a finite number");
  return number;
}

std::string TextValue(const nlohmann::ordered_json& value, const std::string& path, bool mayBeEmpty) {
  if (!value.is_string()) WrongKind(value, path, "a text");
  const std::string& text = value.get_ref<const std::string&>();
  if (text.empty() && !mayBeEmpty) throw FieldError(path + " must not be empty");
  if (text.size() > 65536) throw FieldError(path + " is longer than 64 KiB");
  return text;
}

bool BooleanValue(const nlohmann::ordered_json& value, const std::string& path) {
  if (!value.is_boolean()) WrongKind(value, path, "true or false");
  return value.get<bool>();
}

std::string ReadSmallFile(const std::string& path, std::uintmax_t maxBytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw FieldError(std::string("can not be read: ") + std::strerror(errno));
  std::string bytes;
  char block[65536];
  // Read one byte past the limit: a larger file is refused without reading it whole.
  while (bytes.size() <= maxBytes) {
    file.read(block, sizeof block);
    if (file.gcount() <= 0) break;
    bytes.append(block, static_cast<std::size_t>(file.gcount()));
  }
  if (bytes.size() > maxBytes) {
    throw FieldError("is larger than " + std::to_string(maxBytes >> 20) + " MiB");
  }
  if (file.bad()) throw FieldError("can not be read");
  return bytes;
}

nlohmann::ordered_json ParseJsonText(std::string_view text) {
  try {
    return nlohmann::ordered_json::parse(text);
  } catch (const nlohmann::ordered_json::exception& error) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ...",
    // or a number too large for a double ("out_of_range.406").
    std::string what = error.what();
    if (const auto start = what.find("] "); start != std::string::npos) what.erase(0, start + 2);
    throw FieldError("is not JSON: " + what);
  }
}
