#include "record_source.h"

#include <string.h>

#include "cli.h"
#include "setup_plan.h"

enum : size_t { kFileBlock = 1 << 16 };

static std::string Changed(const PackageEntry& entry) {
    return Quoted(entry.relative) + " changed while the setup was being built; build again";
}

bool PackageChecksum(const std::vector<PackageEntry>& entries, uint32_t* checksum, std::string* error) {
    std::vector<uint8_t> block(kFileBlock);
    uint32_t sum = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& entry = entries[i];
        std::unique_ptr<std::istream> stream = OpenEntry(entry);
        std::istream& in = *stream;
        if (!in) {
            *error = "cannot read " + Quoted(entry.relative);
            return false;
        }
        uint64_t total = 0;
        while (in) {
            in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
            uint32_t got = static_cast<uint32_t>(in.gcount());
            sum = ChecksumAddBytes(sum, static_cast<uint32_t>(i + 1), entry.storedName.c_str(), block.data(), got);
            total += got;
        }
        if (in.bad()) {
            *error = "cannot read " + Quoted(entry.relative);
            return false;
        }
        if (total != entry.size) {
            *error = Changed(entry);
            return false;
        }
    }
    *checksum = sum;
    return true;
}

RecordSource::RecordSource(const SetupPlan& plan, uint32_t checksum) : plan_(plan), checksum_(checksum) {
    InitRecordWriter(&writer_, Sink, this);
}

bool RecordSource::Sink(const uint8_t* bytes, uint32_t n, void* context) {
    RecordSource* self = static_cast<RecordSource*>(context);
    self->pending_.insert(self->pending_.end(), bytes, bytes + n);
    return true;
}

bool RecordSource::Check(RecordWriterStatus status) {
    if (status == kWriterOk) return true;
    error_ = RecordWriterError(&writer_);
    return false;
}

bool RecordSource::StartFile() {
    const PackageEntry& entry = plan_.entries[index_];
    file_ = OpenEntry(entry);
    if (!*file_) {
        error_ = "cannot read " + Quoted(entry.relative);
        return false;
    }
    inFile_ = true;
    remaining_ = entry.size;
    return Check(BeginFileRecord(&writer_, entry.storedName.c_str(), static_cast<uint32_t>(entry.size)));
}

bool RecordSource::ContinueFile() {
    uint8_t block[kFileBlock];
    size_t want = remaining_ < kFileBlock ? static_cast<size_t>(remaining_) : kFileBlock;
    file_->read(reinterpret_cast<char*>(block), static_cast<std::streamsize>(want));
    size_t got = static_cast<size_t>(file_->gcount());
    if (got != want) {
        error_ = Changed(plan_.entries[index_]);
        return false;
    }
    remaining_ -= got;
    return Check(WriteFileBytes(&writer_, block, static_cast<uint32_t>(got)));
}

bool RecordSource::EndFile() {
    bool grew = file_->peek() != std::istream::traits_type::eof();
    file_.reset();
    inFile_ = false;
    if (grew) {
        error_ = Changed(plan_.entries[index_]);
        return false;
    }
    ++index_;
    return true;
}

bool RecordSource::Step() {
    if (!writer_.headerWritten)
        return Check(WritePackageHeader(&writer_, checksum_, plan_.productCode.c_str(), plan_.windowClass.c_str(),
                                        plan_.mainProgram.c_str(), plan_.dateWord));
    if (inFile_) return remaining_ > 0 ? ContinueFile() : EndFile();
    if (index_ < plan_.entries.size()) return StartFile();
    finished_ = true;
    return Check(FinishRecordWriter(&writer_));
}

int64_t RecordSource::Read(uint8_t* buffer, size_t capacity) {
    if (!error_.empty()) return -1;
    // The encoder takes short reads: one step's bytes at a time keep the buffer small.
    while (pending_.size() == pendingStart_ && !finished_)
        if (!Step()) return -1;
    size_t n = pending_.size() - pendingStart_;
    if (n > capacity) n = capacity;
    if (n > 0) memcpy(buffer, pending_.data() + pendingStart_, n);
    pendingStart_ += n;
    if (pendingStart_ == pending_.size()) {
        pending_.clear();
        pendingStart_ = 0;
    } else if (pendingStart_ >= kFileBlock) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
        pendingStart_ = 0;
    }
    return static_cast<int64_t>(n);
}

bool RecordSource::Finish(std::string* error) {
    if (!error_.empty() || !finished_ || pendingStart_ != pending_.size()) {
        *error = error_.empty() ? "the package stream was not written to its end" : error_;
        return false;
    }
    if (writer_.checksum != checksum_ || writer_.streamLength != RecordStreamLength(plan_)) {
        *error = "the files changed while the setup was being built; build again";
        return false;
    }
    return true;
}
