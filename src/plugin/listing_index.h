// Listings kept between processes: a call's text is measured only when the
// page index store holds no listing of it as it is now, with these settings.
#pragma once

#include "index/page_index_store.h"
#include "plugin/call_sources.h"
#include "render/text_pages.h"
#include "settings/render_settings.h"

namespace folio::plugin {

// Every setting that changes where a text's pages break or begin, and so
// every setting in the key of a stored listing: a setting that comes to
// shape pages gets its line here.
index::PageSettingsPrint PageSettingsPrintOf(const settings::RenderSettings& settings);

// The call's text, open as `text`, measured with the call's settings: the
// listing stored for the text as it is now when there is one (PageIndex on),
// else measured; a measured listing of the whole text, or up to the page
// limit that it reached, is stored for later calls.
render::MeasuredText MeasureWithPageIndex(CallText& call, platform::InputFile& text);

}  // namespace folio::plugin
