#include "data/dive_table.h"

namespace data {

DiveTable::DiveTable()
    : dive_year(MXPR), day_start(MXPR), lon_start(MXPR + 1), lat_start(MXPR + 1), day_end(MXPR),
      lon_end(MXPR), lat_end(MXPR), dive_weight(MXPR), head9(MXPR), head10(MXPR), head11(MXPR),
      sal_offset(MXPR), var4_offset(MXPR), line2_text(MXPR), line2_real(MXPR), n_samp(MXPR),
      prof(MXZ, MXPR, 4), prof_flag(MXZ, MXPR, 4), n_adcp(MXPR, 0), adcp(MXZ, MXPR, 5),
      adcp_flag(MXZ, MXPR, 3) {
    fill();
}

void DiveTable::fill() {
    dive_year.fill(-999);
    day_start.fill(-9.99f);
    lon_start.fill(-999.0f);
    lat_start.fill(-99.9f);
    day_end.fill(-9.99f);
    lon_end.fill(-999.0f);
    lat_end.fill(-99.9f);
    dive_weight.fill(-99.9f);
    head9.fill(-99.9f);
    head10.fill(-99.9f);
    head11.fill(9);
    sal_offset.fill(0.0f);
    var4_offset.fill(0.0f);
    line2_text.fill('-');
    line2_real.fill(-999.0f);
    n_samp.fill(0);
    prof.fill(SAMPLE_FILL);
    prof_flag.fill(1);
}

}  // namespace data
