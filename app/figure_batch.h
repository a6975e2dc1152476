#pragma once
// Several one-command figures drawn in one run, the files read once for
// all the figures that name the same files and fourth variable, one after
// the other. Each figure is the dialogue's steps after the read, answered
// by its options and ended as a one-command run ends. The console lines of
// the runs are left out.
#include <memory>
#include <sstream>
#include <string>

#include "app/options.h"

namespace app {

struct Session;

class FigureRun {
public:
    FigureRun();
    ~FigureRun();
    FigureRun(const FigureRun&) = delete;
    FigureRun& operator=(const FigureRun&) = delete;

    // Reads the files the options name, unless they are held: the session
    // with the table, or nullptr with the line that says why not.
    const Session* read(const Options& o, std::string& why);
    // Draws the figure: empty when it was drawn, else the line that says why not.
    std::string draw(const Options& o);

private:
    bool holds(const Options& o) const;

    std::unique_ptr<Session> session_;
    std::string files_, var4_;  // what the session holds, its fourth variable as asked for
    bool held_ = false;
    std::ostringstream quiet_;
};

}  // namespace app
