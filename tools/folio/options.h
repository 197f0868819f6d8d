// A command's arguments split into operands and options, checked against the
// options that the command knows ("--name VALUE", "--name=VALUE", "-o VALUE",
// flags, and "--" before operands that start with a dash).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace folio::cli {

enum class OptionValue {
  None,      // a flag
  Text,      // any text
  Position,  // a page position: a whole number, 0 or more
};

struct OptionSpec {
  std::string_view name;       // "--output"
  std::string_view shortName;  // "-o", or empty
  OptionValue value = OptionValue::None;
};

struct ParsedOptions {
  std::vector<std::string> operands;
  // Every value given, in order, under the option's long name; flags hold no values.
  std::map<std::string, std::vector<std::string>, std::less<>> options;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  const std::vector<std::string>& Values(std::string_view name) const;
  std::optional<std::string> Last(std::string_view name) const;
};

struct ParseResult {
  ParsedOptions parsed;
  std::string error;  // empty when the arguments are well formed
};

std::optional<std::uint64_t> ParsePosition(std::string_view text);

ParseResult ParseOptions(std::span<const std::string> arguments, std::span<const OptionSpec> known);

}  // namespace folio::cli
