#include <iostream>

#include "app/driver.h"
#include "app/options.h"
#include "miscli/console.h"
#include "miscli/stop.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    app::Options options;
    std::string error;
    if (!app::parse_options(argc, argv, options, error)) {
        std::cout << error << '\n';
        return 1;
    }
    try {
        app::run_dialogue(options);
    } catch (const miscli::ProgramStop& stop) {
        if (!stop.line.empty()) miscli::console().write_line(stop.line);
        return stop.status;
    }
}
