#include "text/jisx0213.h"

#include <cstdint>

namespace folio::text {
namespace {

#include "text/jisx0213_table.inc"

constexpr int kCellsInRow = 94;
// Surrogates, never a character alone, stand in kCells for the wide cells.
constexpr std::uint16_t kFirstWideCell = 0xD800;
constexpr std::uint16_t kLastWideCell = 0xDFFF;

}  // namespace

JisX0213Character JisX0213CharacterAt(int plane, int row, int cell) noexcept {
  if (plane < 1 || plane > 2 || row < 1 || row > kCellsInRow || cell < 1 || cell > kCellsInRow) return {};
  const int slot = kRowSlots[plane - 1][row - 1];
  if (slot == 0) return {};
  const std::uint16_t value = kCells[slot - 1][cell - 1];
  if (value < kFirstWideCell || value > kLastWideCell) return {value, 0};
  const auto& wide = kWideCells[value - kFirstWideCell];
  return {wide[0], wide[1]};
}

}  // namespace folio::text
