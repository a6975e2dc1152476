#pragma once
#include <cstdint>

#include "miscli/array.h"
#include "miscli/ragged_array.h"

namespace section {

// Orders the samples of profiles 1..n_dives by decreasing key (variable 1),
// moving all n_vars variables and their flags together, then drops
// trailing samples whose key is negative (the fill values). A `carried`
// column of one value a sample (a dive's length or longer) moves with them.
void p_sort_(int n_dives, int n_vars, miscli::Array1<int>& n_samp, miscli::RaggedArray3<float>& prof,
             miscli::RaggedArray3<std::int8_t>& prof_flag, miscli::RaggedArray2<float>* carried = nullptr);

}  // namespace section
