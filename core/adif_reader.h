#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant {

// The fields of one QSO that the program uses, as the log writes them
// (blanks at either end removed); empty where the record has none.
struct AdifQso {
    std::uint64_t record = 0;  // counted from 1 over the whole file
    std::uint64_t offset = 0;  // the byte of the file the record starts at
    std::string call;
    std::string gridsquare;
    std::string lat;  // XDDD MM.MMM
    std::string lon;
    std::string qsoDate;  // YYYYMMDD
    std::string timeOn;  // HHMM or HHMMSS
    std::string band;
    std::string mode;
    std::string myGridsquare;
    std::string myLat;
    std::string myLon;
};

// A record that cannot be used, or a fault of the file as a whole (record
// 0 when it lies outside any record).
struct AdifProblem {
    std::uint64_t record = 0;
    std::uint64_t offset = 0;
    std::string what;
};

// What the reader hands on as it reads.
class AdifSink {
public:
    virtual ~AdifSink() = default;
    virtual void qso(const AdifQso& qso) = 0;
    virtual void problem(const AdifProblem& problem) = 0;

protected:
    AdifSink() = default;
    AdifSink(const AdifSink&) = default;
    AdifSink& operator=(const AdifSink&) = default;
};

// Where a reading ends and the next one of the same file starts: just
// after the last complete record, or after the header.
struct AdifResume {
    std::uint64_t offset = 0;
    std::uint64_t records = 0;
};

// An ADIF (.adi) log read as its bytes arrive, in one pass and in memory
// that does not grow with the file: tags <NAME:LENGTH[:TYPE]>, names in any
// case, lengths in bytes, a header up to <EOH> when the file does not start
// with '<', records ending in <EOR>. Fields the program does not use are
// passed over unread. A record that cannot be used is named and passed
// over up to its <EOR>, and the next one read.
class AdifReader {
public:
    // Reads from the start of a file, or from where an earlier reading of
    // the same file ended (a log that grows).
    explicit AdifReader(AdifResume from = {});

    // The next bytes of the file, in any pieces.
    void feed(std::string_view bytes, AdifSink& sink);
    // The file ends here: a record or header left open is named.
    void finish(AdifSink& sink);

    // Where a later reading of this file carries on.
    AdifResume resume() const { return resume_; }

private:
    enum class State { Start, Between, Tag, Data };

    std::size_t wholeField(const char* p, std::size_t size, AdifSink& sink);
    std::size_t plainRun(const char* p, std::size_t size);
    void step(char c, AdifSink& sink);
    void between(char c, AdifSink& sink);
    void tagByte(char c, AdifSink& sink);
    void dataByte(char c, AdifSink& sink);
    void tagEnded(AdifSink& sink);
    void fieldStarted(std::string_view name, std::uint64_t length);
    std::string tagText() const;
    void dataEnded();
    void fault(std::string what);
    void recordEnded(AdifSink& sink);
    void startRecord();

    State state_ = State::Start;
    bool header_ = false;
    bool skipping_ = false;  // after a fault, up to the record's <EOR>
    bool inRecord_ = false;
    std::uint64_t offset_ = 0;  // of the byte being read
    AdifResume resume_;
    std::string tag_;
    std::uint64_t tagOffset_ = 0;
    std::uint64_t dataLeft_ = 0;
    std::uint32_t seen_ = 0;  // the used fields the record has given
    std::string* value_ = nullptr;  // where the data of a used field goes
    std::string_view fieldName_;
    std::size_t eorMatched_ = 0;  // of "<EOR>" inside a field's data
    bool afterUsedData_ = false;
    std::string fault_;
    AdifQso qso_;
};

}  // namespace skybrant
