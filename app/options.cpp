#include "app/options.h"

#include <string_view>

namespace app {

bool parse_options(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--headless") options.headless = true;
        else if (arg == "--screenshots") options.screenshots = true;
        else if (arg == "--help") {
            options.help = true;
            return true;
        }
        else {
            error = " Unknown option " + std::string(arg) + " (use --headless, --screenshots or --help)";
            return false;
        }
    }
    return true;
}

}  // namespace app
