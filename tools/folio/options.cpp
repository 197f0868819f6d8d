#include "options.h"

#include <algorithm>
#include <charconv>

namespace folio::cli {
namespace {

const OptionSpec* FindOption(std::string_view word, std::span<const OptionSpec> known) {
  const auto match = std::find_if(known.begin(), known.end(), [&](const OptionSpec& option) {
    return word == option.name || (!option.shortName.empty() && word == option.shortName);
  });
  return match == known.end() ? nullptr : &*match;
}

}  // namespace

std::optional<std::uint64_t> ParsePosition(std::string_view text) {
  std::uint64_t position = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return position;
}

const std::vector<std::string>& ParsedOptions::Values(std::string_view name) const {
  static const std::vector<std::string> none;
  const auto found = options.find(name);
  return found == options.end() ? none : found->second;
}

std::optional<std::string> ParsedOptions::Last(std::string_view name) const {
  const auto& values = Values(name);
  if (values.empty()) return std::nullopt;
  return values.back();
}

ParseResult ParseOptions(std::span<const std::string> arguments, std::span<const OptionSpec> known) {
  ParseResult result;
  bool operandsOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (operandsOnly || word.size() < 2 || word.front() != '-') {
      result.parsed.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      operandsOnly = true;
      continue;
    }
    const std::size_t equals = word.starts_with("--") ? word.find('=') : std::string::npos;
    const std::string_view name = std::string_view(word).substr(0, equals);
    const OptionSpec* option = FindOption(name, known);
    if (!option) {
      result.error = "unknown option " + std::string(name);
      return result;
    }
    auto& values = result.parsed.options[std::string(option->name)];
    if (option->value == OptionValue::None) {
      if (equals != std::string::npos) {
        result.error = std::string(option->name) + " takes no value";
        return result;
      }
      continue;
    }
    if (equals != std::string::npos) {
      values.push_back(word.substr(equals + 1));
    } else if (i + 1 < arguments.size()) {
      values.push_back(arguments[++i]);
    } else {
      result.error = std::string(option->name) + " needs a value";
      return result;
    }
    if (option->value == OptionValue::Position && !ParsePosition(values.back())) {
      result.error =
          std::string(option->name) + " takes a page position such as 0 or 12, not '" + values.back() + "'";
      return result;
    }
  }
  return result;
}

}  // namespace folio::cli
