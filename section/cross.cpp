// cross_: where one contour level crosses one cell edge.
#include "daz/plot_device.h"
#include "section/contour_trace.h"
#include "section/lin_plot.h"

namespace section {

void cross_(float w, float v1, float v2, float x1, float x2, float y1, float y2, float /*spare*/, int& pen) {
    daz::PagePoint at;
    if (!edge_crossing(w, v1, v2, x1, x2, y1, y2, at)) return;
    daz::ploti_(at.x, at.y, pen);
    pen = 2;
}

}  // namespace section
