#include "app/SortedRuns.h"

#include <string_view>

#include "app/DumpOrigin.h"
#include "app/DumpReader.h"
#include "app/DumpWriter.h"
#include "app/EntryDetails.h"
#include "io/file/FileContents.h"
#include "io/file/ScratchBuffer.h"
#include "platform/win32/FileDetails.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

struct SortedRuns::Run : public ScanRecordSink {
    void take(ScanRecord& record) override { writer->take(record); }

    explicit Run(const std::string& spillBeside) : records(spillBeside) {}

    std::unique_ptr<DumpWriter> writer;
    io::file::ScratchBuffer records;
    // For the merge: the records, wherever they are, and their reader.
    io::file::FileContents bytes{std::string()};
    std::unique_ptr<DumpReader> reader;
};

SortedRuns::SortedRuns(bool detailed, std::size_t memoryBound, const std::string& spillBeside)
    : _detailed(detailed),
      _memoryBound(memoryBound),
      _spillBeside(spillBeside),
      _held(0),
      _cannotSpill(false),
      _spilledRuns(0) {}

SortedRuns::~SortedRuns() = default;

ScanRecordSink& SortedRuns::beginRun() {
    finishRun();
    _runs.emplace_back(new Run(_spillBeside));
    Run& run = *_runs.back();
    const io::file::DataSource::Writer write = [this, &run](const char* data, std::size_t size) {
        return store(run, data, size);
    };
    run.writer.reset(_detailed ? new DumpWriter(write, DumpOrigin(), false) : new DumpWriter(write));
    return run;
}

void SortedRuns::finishRun() {
    if (_runs.empty() || !_runs.back()->writer) return;
    _runs.back()->writer->finish();
    _runs.back()->writer.reset();
}

bool SortedRuns::store(Run& run, const char* data, std::size_t size) {
    const std::size_t before = run.records.heldBytes();
    if (!run.records.write(data, size)) return false;
    _held = _held - before + run.records.heldBytes();
    if (_held <= _memoryBound || _cannotSpill || run.records.isSpilled()) return true;
    const std::size_t held = run.records.heldBytes();
    if (run.records.spill()) {
        _held -= held;
        ++_spilledRuns;
    } else {
        _cannotSpill = true;
    }
    return true;
}

void SortedRuns::merge(ScanRecordSink& sink) {
    finishRun();
    for (const std::unique_ptr<Run>& run : _runs) {
        if (!run->records.read(run->bytes)) throw DumpWriter::Refused();
        run->reader.reset(new DumpReader(run->bytes.begin(), run->bytes.end()));
    }
    ScanRecord record;
    for (;;) {
        DumpReader* least = nullptr;
        for (const std::unique_ptr<Run>& run : _runs) {
            DumpReader& reader = *run->reader;
            if (!reader.atEnd() && (least == nullptr || reader.path() < least->path())) least = &reader;
        }
        if (least == nullptr) break;
        record.path.assign(least->path());
        record.fingerprint = least->fingerprint();
        if (_detailed) {
            record.details.assign(least->detailBytes());
            record.regularFile = least->details().number(EntryDetails::KIND) == platform::FileDetails::FILE;
        }
        for (const std::unique_ptr<Run>& run : _runs) {
            DumpReader& reader = *run->reader;
            if (&reader != least && !reader.atEnd() && reader.path() == record.path) reader.advance();
        }
        least->advance();
        sink.take(record);
    }
    _runs.clear();
    _held = 0;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
