#pragma once
// The stages of a run and the progress record a job publishes for the job list and Visual run.
#include <algorithm>
#include <cstdint>
#include <iterator>

namespace twn {

enum TRunStage : int32_t {
  rsStarting = 0,         // compare half begun, scan info not yet prepared
  rsScanning = 1,         // scanning; stays through comparison and plan building
  rsCreatingFolders = 3,  // value 2 is not used
  rsCopying = 4,
  rsDeleting = 5,
  rsRemovingFolders = 6,
  rsCompleted = 7,   // after the last line of a completed synchronization half
  rsTerminated = 8,  // the termination block was written
};

/// The counters of a run as last refreshed. Written and read only on the main thread (the
/// worker waits while it is filled), so it needs no lock. The field order is fixed.
struct TJobSafeProgress {
  int32_t Stage = rsStarting;
  int32_t FoldersScannedLeft = 0;
  int32_t FoldersScannedRight = 0;
  int32_t FoldersTotal = 0;
  int32_t FilesTotal = 0;
  int32_t FilesFoundLeft = 0;
  int32_t FilesFoundRight = 0;
  int32_t FoldersToCreate = 0;
  int32_t FoldersCreatedLeft = 0;
  int32_t FoldersCreatedRight = 0;
  int32_t CreateErrorsLeft = 0;
  int32_t CreateErrorsRight = 0;
  int32_t FoldersToRemove = 0;
  int32_t FoldersRemovedLeft = 0;
  int32_t FoldersRemovedRight = 0;
  int32_t RemoveErrorsLeft = 0;
  int32_t RemoveErrorsRight = 0;
  int32_t FilesToCopy = 0;
  int32_t KbToCopy = 0;
  int32_t KbCopied = 0;
  int32_t FilesCopiedLeft = 0;
  int32_t FilesCopiedRight = 0;
  int32_t BytesCopiedLeftHigh = 0;
  int32_t BytesCopiedLeftLow = 0;
  int32_t BytesCopiedRightHigh = 0;
  int32_t BytesCopiedRightLow = 0;
  int32_t CopyErrorsLeft = 0;
  int32_t CopyErrorsRight = 0;
  int32_t FilesToDelete = 0;
  int32_t FilesDeletedLeft = 0;
  int32_t FilesDeletedRight = 0;
  int32_t BytesDeletedLeftHigh = 0;
  int32_t BytesDeletedLeftLow = 0;
  int32_t BytesDeletedRightHigh = 0;
  int32_t BytesDeletedRightLow = 0;
  int32_t DeleteErrorsLeft = 0;
  int32_t DeleteErrorsRight = 0;
};
static_assert(sizeof(TJobSafeProgress) == 37 * sizeof(int32_t));

/// The worker's own counters, indexed by side (0 left, 1 right), kept in plain fields and published
/// only at a refresh. A copy counts on the side of its source.
struct TRunCounters {
  int32_t FoldersScanned[2] = {};
  int32_t FilesFound[2] = {};
  int32_t FoldersCreated[2] = {};
  int32_t CreateErrors[2] = {};
  int32_t FoldersRemoved[2] = {};
  int32_t RemoveErrors[2] = {};
  int32_t FilesCopied[2] = {};
  int64_t BytesCopied[2] = {};
  int32_t CopyErrors[2] = {};
  /// Progress position of the copy stage in bytes.
  int64_t BytesDone = 0;
  int32_t FilesDeleted[2] = {};
  int64_t BytesDeleted[2] = {};
  int32_t DeleteErrors[2] = {};

  void ResetScan() {
    std::fill(std::begin(FoldersScanned), std::end(FoldersScanned), 0);
    std::fill(std::begin(FilesFound), std::end(FilesFound), 0);
  }
  /// Every counter of the synchronization half, the scan counters kept.
  void ResetExecution() {
    TRunCounters fresh;
    std::copy(std::begin(FoldersScanned), std::end(FoldersScanned), fresh.FoldersScanned);
    std::copy(std::begin(FilesFound), std::end(FilesFound), fresh.FilesFound);
    *this = fresh;
  }
};

/// High and low 32 bits of a 64-bit counter, as the record stores byte counts.
inline int32_t High32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint64_t>(v) >> 32);
}
inline int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}
/// The 64-bit value of a high and low pair.
inline int64_t Join32(int32_t high, int32_t low) {
  return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) |
                              static_cast<uint32_t>(low));
}

}  // namespace twn
