// cross_: where one contour level crosses one cell edge.
#include <algorithm>
#include <cmath>

#include "daz/plot_device.h"
#include "section/lin_plot.h"

namespace section {

void cross_(float w, float v1, float v2, float x1, float x2, float y1, float y2, float /*spare*/, int& pen) {
    if (!(std::min(v1, v2) <= w && w <= std::max(v1, v2))) return;
    // Nodes (nearly) equal: the level runs along the edge; take its middle.
    const float f = std::fabs(v2 - v1) < 1.0e-5f ? 0.5f : (w - v1) / (v2 - v1);
    daz::ploti_((1.0f - f) * x1 + f * x2, (1.0f - f) * y1 + f * y2, pen);
    pen = 2;
}

}  // namespace section
