// Included ahead of every source of the fuzz build. The standard library's
// std::source_location needs a compiler builtin that clang gained only in version 15; older
// clang gets this stand-in with the same members, built on the builtins it has.
#pragma once
#if defined(__clang__) && defined(__cplusplus) && !__has_builtin(__builtin_source_location)
#include <cstdint>
namespace std {
struct source_location {
  static constexpr source_location current(const char *file = __builtin_FILE(),
                                           const char *function = __builtin_FUNCTION(),
                                           std::uint_least32_t line = __builtin_LINE(),
                                           std::uint_least32_t column = __builtin_COLUMN()) noexcept {
    source_location here;
    here.file_ = file;
    here.function_ = function;
    here.line_ = line;
    here.column_ = column;
    return here;
  }
  constexpr source_location() noexcept = default;
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return column_; }
  constexpr const char *file_name() const noexcept { return file_; }
  constexpr const char *function_name() const noexcept { return function_; }

private:
  const char *file_ = "";
  const char *function_ = "";
  std::uint_least32_t line_ = 0;
  std::uint_least32_t column_ = 0;
};
} // namespace std
#endif
