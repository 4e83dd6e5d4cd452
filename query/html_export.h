// Export of a snapshot as one self-contained web page: a folder tree, a sortable listing, a
// name search and totals, with every name carried as data and drawn as text by the page's
// own script. Nothing is fetched when the page opens.
#pragma once

#include "core/code_page_text.h"
#include "query/snapshot_export.h"
#include "query/snapshot_scan.h"

namespace mv {

// Writes the page for an accepted snapshot: the page template with the snapshot's names,
// folders and entries embedded as escaped JSON. False when the sink failed.
bool ExportHtmlPage(const SnapshotLayout& layout, const CodePageDecoder& decoder, ByteSink& sink);

}  // namespace mv
