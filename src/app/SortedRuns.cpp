#include "app/SortedRuns.h"

#include <string_view>

#include "app/DumpOrigin.h"
#include "app/DumpReader.h"
#include "app/DumpWriter.h"
#include "app/EntryDetails.h"
#include "io/file/FileContents.h"
#include "io/file/ScratchFile.h"
#include "platform/win32/FileDetails.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

struct SortedRuns::Run : public ScanRecordSink {
    void take(ScanRecord& record) override { writer->take(record); }

    std::unique_ptr<DumpWriter> writer;
    // The records while they are held in memory.
    std::string held;
    // The records once they went to a scratch file.
    std::unique_ptr<io::file::ScratchFile> spilled;
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
    _runs.emplace_back(new Run);
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
    if (run.spilled) return run.spilled->write(data, size);
    run.held.append(data, size);
    _held += size;
    if (_held <= _memoryBound || _spillBeside.empty() || _cannotSpill) return true;
    std::unique_ptr<io::file::ScratchFile> file(new io::file::ScratchFile);
    if (!file->create(_spillBeside)) {
        _cannotSpill = true;
        return true;
    }
    if (!file->write(run.held.data(), run.held.size())) return false;
    _held -= run.held.size();
    std::string().swap(run.held);
    run.spilled = std::move(file);
    ++_spilledRuns;
    return true;
}

void SortedRuns::merge(ScanRecordSink& sink) {
    finishRun();
    for (const std::unique_ptr<Run>& run : _runs) {
        if (run->spilled) {
            if (!run->spilled->read(run->bytes)) throw DumpWriter::Refused();
            run->spilled.reset();
        } else {
            run->bytes = io::file::FileContents(std::move(run->held));
        }
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
