#pragma once
#include <string>

namespace twn {

class TScanInfo;

/// Every field of every folder, file, item and plan record, each name at its offset, and all
/// counters, one record a line: two scans of the same trees give the same text.
std::string ScanText(const TScanInfo& info);

}  // namespace twn
