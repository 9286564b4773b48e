#include "windows/quick_info_pairs.h"

namespace twn {

std::string PairHeaderText(int column) {
  switch (column) {
    case pcLeft:
      return "Left directory";
    case pcSubfolders:
      return "S";
    case pcRight:
      return "Right directory";
    default:
      return "???";
  }
}

std::string PairCellText(const TPairItem& pair, int column) {
  switch (column) {
    case pcLeft:
      return pair.L_Path;
    case pcRight:
      return pair.R_Path;
    case pcSubfolders:
      return {};
    default:
      return "???";
  }
}

int PairIcon(const TPairItem& pair) {
  return pair.bSubFLD ? kPairIconSubfolders : kPairIconFolderOnly;
}

bool PairDimmed(const TPairItem& pair) {
  return pair.Valid == 0;
}

}  // namespace twn
