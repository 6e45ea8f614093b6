// The record stream of a setup, made on demand: the LZMA encoder pulls it
// chunk by chunk while the files are read a second time, so no product is ever
// held in memory whole.
#pragma once
#include <stdint.h>

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "build_inputs.h"
#include "package/record_writer.h"
#include "setup_plan.h"

// The first pass over the files: the checksum the package header must carry.
bool PackageChecksum(const std::vector<PackageEntry>& entries, uint32_t* checksum, std::string* error);

class RecordSource {
public:
    RecordSource(const SetupPlan& plan, uint32_t checksum);
    // Up to capacity bytes of the stream; 0 at its end, -1 on failure (see Error).
    int64_t Read(uint8_t* buffer, size_t capacity);
    // After the last byte: checks the stream came out as planned (files unchanged).
    bool Finish(std::string* error);
    const std::string& Error() const { return error_; }

private:
    bool Step();
    bool StartFile();
    bool ContinueFile();
    bool EndFile();
    bool Check(RecordWriterStatus status);
    static bool Sink(const uint8_t* bytes, uint32_t n, void* context);

    const SetupPlan& plan_;
    uint32_t checksum_;
    RecordWriter writer_;
    std::vector<uint8_t> pending_;  // written by the record writer, not yet pulled
    size_t pendingStart_ = 0;
    size_t index_ = 0;              // next entry to start
    std::unique_ptr<std::istream> file_;
    bool inFile_ = false;
    uint64_t remaining_ = 0;
    bool finished_ = false;
    std::string error_;
};
