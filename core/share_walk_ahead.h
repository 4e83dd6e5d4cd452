// The walk of a share with its listings fetched ahead on a few threads (ListingPrefetcher):
// the same file, byte for byte, as the walk that lists one directory at a time. Each
// directory is listed once where the listing could be kept whole, its block and its
// subdirectories read from the one listing; a directory with more subdirectories than are
// kept, or whose listing the cap cut short, is listed a second time to descend, as the
// sequential walk does. A subdirectory that appears between the two listings of the
// sequential walk is therefore not walked here when its directory was listed once.
#pragma once

#include <string>

#include "core/listing_prefetcher.h"
#include "core/share_walker.h"

namespace mv {

// Writes the entry lines of directoryPath and everything below it, as WalkDirectory does.
// Listings still in flight when the walk ends (at its end, or once the output has failed)
// are abandoned before it returns: no thread outlives the call. The error with which the
// share root's own listing could not be started, else kNone.
IoError WalkDirectoryAhead(ShareWalk& walk, const std::string& directoryPath,
                           const PrefetchLimits& limits = {});

}  // namespace mv
