#pragma once
// "quillmere-batch cells": a sheet's table exactly as every tool reads it.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace qm::cli {

// args are the words after "cells". The table (or the sheet names) goes to
// out in UTF-8, failures to err. Returns 0, or 2 for a usage error or an
// unreadable file or sheet.
int runCellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A cell as one field of a TAB-separated line: backslash, TAB, CR and LF
// written as \\, \t, \r and \n.
void appendEscapedCell(std::string& line, std::string_view cell);

}  // namespace qm::cli
