#ifndef VESTIGA_APP_SORTEDRUNS_H
#define VESTIGA_APP_SORTEDRUNS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ScanRecord.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The records of several walks whose paths may lie inside each other or
// interleave, each walk a run in path order, merged into one stream in path
// order once every run is complete.
//
// A run is held as the records of a dump (written by DumpWriter, read back by
// DumpReader), a few bytes beside its paths. The runs held in memory take at
// most `memoryBound` bytes together, and a run that would go beyond goes to a
// scratch file beside the dump instead (see io::file::ScratchBuffer): private
// to the process's user, and gone once the merge is done or the scan fails.
// Where no scratch file can be made, or none is to be, the runs stay in
// memory, as a scan that holds what it found is worth more than the memory.
//
// A scratch file whose records cannot be read back throws
// DumpWriter::Refused: the save fails, with the last error saying why.
class SortedRuns {
public:
    // Runs of details parts when `detailed`; scratch files go in the
    // directory of `spillBeside`, none where it is "".
    SortedRuns(bool detailed, std::size_t memoryBound, const std::string& spillBeside);
    ~SortedRuns();
    SortedRuns(const SortedRuns&) = delete;
    SortedRuns& operator=(const SortedRuns&) = delete;

    // Ends the run before, and takes the records of the next, in path order,
    // each path once.
    ScanRecordSink& beginRun();
    // Hands on the records of every run in path order, each path once: that
    // of the first run that holds it. The runs are gone afterwards.
    void merge(ScanRecordSink& sink);
    // How many runs went to scratch files.
    std::size_t spilledRuns() const { return _spilledRuns; }

private:
    struct Run;

    void finishRun();
    bool store(Run& run, const char* data, std::size_t size);

    bool _detailed;
    std::size_t _memoryBound;
    std::string _spillBeside;
    std::vector<std::unique_ptr<Run>> _runs;
    // The bytes of the runs held in memory.
    std::size_t _held;
    bool _cannotSpill;
    std::size_t _spilledRuns;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
