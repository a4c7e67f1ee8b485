// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a JSON document member by member, every member checked, each
// refusal a sentence naming the member by its path ("values.ViscB.unit").
// Shared by the material and the project file readers.

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

// A refusal of one member; the readers turn it into their message.
struct FieldError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "values.ViscB" from "values" and "ViscB"; a bare name at the top.
std::string MemberPath(const std::string& parent, const std::string& name);

// The shortest text that reads back to `value`, for messages.
std::string NumberText(double value);

// Throws FieldError unless `value` is an object; then unless every member
// is one of `known`.
void RequireObject(const nlohmann::ordered_json& value, const std::string& path);
void RefuseUnknownMembers(const nlohmann::ordered_json& object, const std::string& path,
                          std::initializer_list<const char*> known);

// The member `name` of `object` (an object); throws when it is missing.
const nlohmann::ordered_json& RequiredMember(const nlohmann::ordered_json& object, const std::string& parent, const char* name);

// A finite number, a text (non-empty when `required`, at most 64 KiB), a
// boolean, a pair of finite numbers [low, high]; each throws FieldError.
double FiniteNumber(const nlohmann::ordered_json& value, const std::string& path);
std::string TextValue(const nlohmann::ordered_json& value, const std::string& path, bool mayBeEmpty = false);
bool BooleanValue(const nlohmann::ordered_json& value, const std::string& path);

// Reads a whole file of at most `maxBytes`; throws FieldError ("is larger
// than 1 MiB", "can not be read: ...") without a member path.
std::string ReadSmallFile(const std::string& path, std::uintmax_t maxBytes);

// Parses JSON text; a syntax error becomes FieldError "is not JSON: ...".
nlohmann::ordered_json ParseJsonText(std::string_view text);
