#include "result_messages.h"

#include "folio/susie.h"

namespace folio::cli {

std::string ResultMessage(int code) {
  switch (code) {
    case SUSIE_SUCCESS: return "done";
    case SUSIE_NOT_SUPPORTED: return "the plug-in has no such page (or was asked to read from memory)";
    case SUSIE_UNKNOWN_FORMAT:
      return "not a text file this plug-in handles (its extension is not in the plug-in's Ext setting, "
             "or it is shorter than 8 bytes)";
    case SUSIE_OUT_OF_MEMORY: return "the plug-in ran out of memory";
    case SUSIE_MEMORY_ERROR: return "the page bitmap can't be created";
    case SUSIE_FILE_READ_ERROR: return "the text file can't be opened or read";
    case SUSIE_FILE_WRITE_ERROR: return "the page file can't be created";
    default: return "the plug-in failed with an unknown result code " + std::to_string(code);
  }
}

}  // namespace folio::cli
