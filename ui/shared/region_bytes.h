// Regions kept as their region data, for the steps Undo and Redo restore.
#ifndef PELLFORM_REGION_BYTES_H
#define PELLFORM_REGION_BYTES_H

#include <windows.h>

#include <memory>

#include "core/edit_history.h"
#include "platform/win_handles.h"

// A region's data as GetRegionData gives it; null for no region. False when
// the platform cannot give it; throws when memory runs out.
bool CaptureRegion(HRGN region, std::shared_ptr<const RegionBlock>& bytes);
// The region those bytes describe, rectangle for rectangle (none for null);
// false when it cannot be made.
bool RebuildRegion(const std::shared_ptr<const RegionBlock>& bytes, OwnedRegion& region);

#endif
