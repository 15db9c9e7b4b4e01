#pragma once

#include "SkinPolygonFile.h"

#include <QRegion>

namespace skinform {

// The outline a series of skin polygons gives a window: each polygon filled by
// the even-odd rule, all of them combined by exclusive-or, so an area that two
// polygons cover is cut out again. An empty result means "no outline".
QRegion SkinRegion(const std::vector<Polygon>& polygons);

} // namespace skinform
