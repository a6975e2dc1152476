#include "app/session.h"

namespace app {

using data::MXPR;
using data::MXZ;

Session::Session()
    : track_km(MXPR), station_km(MXPR), station_day(MXPR), sec_val(MXZ, MXPR, data::SAMPLE_FILL),
      sec_z(MXZ, MXPR), sec_n(MXPR), grid_z(MXZ + 1), grid_color(MXZ, MXPR), grid_line(MXZ, MXPR),
      grid_work(MXZ) {}

}  // namespace app
