#pragma once
// A small contour field on a simple frame, shared by the contour and label
// tests: profile j at km -> page x = 1 + km, level z -> page y = 7.2 - z
// (linear axis, one inch per unit both ways).
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "miscli/array.h"
#include "section/lin_plot.h"
#include "section/plotcom.h"

namespace lin_plot_testing {

struct Field {
    miscli::Array1<float> z;
    miscli::Array2<float> g;
    miscli::Array1<float> km;
    int n_z = 0, first = 1, last = 1;

    // rows: one list per level k, one value per profile j.
    Field(std::initializer_list<float> levels, std::initializer_list<float> stations,
          std::initializer_list<std::initializer_list<float>> rows)
        : z(static_cast<int>(levels.size()) + 1),
          g(static_cast<int>(levels.size()), static_cast<int>(stations.size())),
          km(static_cast<int>(stations.size())),
          n_z(static_cast<int>(levels.size())),
          last(static_cast<int>(stations.size())) {
        int k = 1;
        for (float v : levels) z(k++) = v;
        int j = 1;
        for (float v : stations) km(j++) = v;
        k = 1;
        for (auto row : rows) {
            j = 1;
            for (float v : row) g(k, j++) = v;
            ++k;
        }
        frame();
    }

    // value(km, z) at every level and station.
    Field(const std::vector<float>& levels, const std::vector<float>& stations,
          const std::function<float(float km, float z)>& value)
        : z(static_cast<int>(levels.size()) + 1),
          g(static_cast<int>(levels.size()), static_cast<int>(stations.size())),
          km(static_cast<int>(stations.size())),
          n_z(static_cast<int>(levels.size())),
          last(static_cast<int>(stations.size())) {
        for (int k = 1; k <= n_z; ++k) z(k) = levels[static_cast<std::size_t>(k - 1)];
        for (int j = 1; j <= last; ++j) km(j) = stations[static_cast<std::size_t>(j - 1)];
        for (int j = 1; j <= last; ++j)
            for (int k = 1; k <= n_z; ++k) g(k, j) = value(km(j), z(k));
        frame();
    }

    static void frame() {
        section::plotcom = section::Plotcom{};
        section::plotcom.left = 1.0f;
        section::plotcom.x_left = 0.0f;
        section::plotcom.x_scale = 1.0f;
        section::plotcom.vertical = section::Vertical::Pressure;
        section::plotcom.z_min = 0.0f;
        section::plotcom.z_scale = 1.0f;
    }

    void plot(float lo, float hi, int& count, char device, const std::string& title = "Sigma-theta",
              const section::Look& look = {}) const {
        section::lin_plot_(z, g, km, n_z, first, last, lo, hi, 0.0f, title, count, device, -999.0f, look);
    }
};

}  // namespace lin_plot_testing
