#pragma once
// "quillmere-batch photos" and "quillmere-batch compress": the batch photo run
// and the picture compression without a window.
#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "photos". Prints the run's log lines (UTF-8) on
// out, from "任务日志：" to the count line. Returns 0 when the run ended
// (failed photos are in the log), 2 for a usage error, a list that cannot be
// read or lacks its columns (the window's message on err).
int runPhotosCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args are the words after "compress". Prints the predicted and the written
// size, one per line, as "0.00Kb". Returns 0, or 2 for a usage error or a
// picture that cannot be read or written (the window's message on err).
int runCompressCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
