// The interface's result codes for what render reports: the one place where
// one becomes the other.
#pragma once

#include "folio/susie.h"
#include "render/text_pages.h"

namespace folio::plugin {

constexpr int ResultCodeOf(render::RenderStatus status) noexcept {
  switch (status) {
    case render::RenderStatus::Done: return SUSIE_SUCCESS;
    case render::RenderStatus::TextUnreadable: return SUSIE_FILE_READ_ERROR;
    case render::RenderStatus::NoBitmap: return SUSIE_MEMORY_ERROR;
    case render::RenderStatus::OutOfMemory: return SUSIE_OUT_OF_MEMORY;
  }
  return SUSIE_OUT_OF_MEMORY;
}

}  // namespace folio::plugin
