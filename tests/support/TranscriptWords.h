// The transcript of a stage run as its event words, for tests that check what happened
// in which order.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace kelva::test {

// Each line of the transcript at `path` without its time: "keywait", "skip-end release" …
inline std::vector<std::string> TranscriptEvents(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> events;
    for (std::string line; std::getline(lines, line);) events.push_back(line.substr(line.find(' ') + 1));
    return events;
}

}  // namespace kelva::test
