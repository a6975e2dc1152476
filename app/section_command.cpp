#include "app/section_command.h"

#include <unistd.h>

#include <iostream>

#include "app/driver.h"
#include "app/section_answers.h"
#include "data/read_dive_data.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/interrupts.h"
#include "screen/screen.h"

namespace app {

void run_section_command(const Options& options) {
    // A hardcopy on standard output keeps the console lines out of it.
    if (options.hardcopy.name == "-") {
        miscli::console().redirect(std::cin, std::cerr);
        screen::set_interrupt_line_fd(STDERR_FILENO);
    }
    screen::configure(true, false);
    screen::skip_unseen_drawing();
    SectionAnswers answers(data::answer_naming(options.dive_files), options.section, miscli::console().out());
    AnswersInstalled installed(answers, true);
    try {
        run_dialogue(options);
    } catch (miscli::ProgramStop& stop) {
        // A step that said why on the console before it stopped: that line
        // is the refusal, and goes where refusals go.
        if (stop.status != 0 && stop.line.empty()) stop.line = answers.take_last_line();
        throw;
    }
}

}  // namespace app
