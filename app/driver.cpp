#include "app/driver.h"

#include "miscli/console.h"
#include "miscli/stop.h"

namespace app {

void run_dialogue(const Options&) {
    miscli::console().write_line("Name *.SCI file");
    miscli::console().read_line();
    miscli::stop_normal();
}

}  // namespace app
