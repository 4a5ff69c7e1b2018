#pragma once
// Where a run's rows come from: a header of column names and rows of fields, as UTF-8, read
// one at a time. A data file is one source; rows handed over as name -> value maps (a
// service's JSON) are another. Matching, checks and runs see only this.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/data_file.h"

namespace tavrin {

class RowSource {
public:
    virtual ~RowSource() = default;

    // Why the rows cannot be read at all; empty when they can.
    virtual const std::string& error() const = 0;
    // The column names, trimmed.
    virtual const std::vector<std::string>& headers() const = 0;
    // Back to before the first row; false when that failed.
    virtual bool rewind() = 0;
    // The next row's fields (blank records skipped); false at the end.
    virtual bool next(std::vector<std::string>& fields) = 0;
    // A fault found at the end of the rows that hid some of them; empty for none.
    virtual std::string endProblem() const { return {}; }
    // A name for messages: the file, or what handed the rows over.
    virtual std::string name() const = 0;
};

// A CSV or TSV file (see DataReader). Bytes that are not UTF-8 anywhere in the file make it
// the ANSI code page's text; a byte order mark settles that on its own.
class DataFileRows : public RowSource {
public:
    DataFileRows(std::filesystem::path file, const std::string& ansiCodePage, char delimiter = 0);

    const std::string& error() const override { return error_; }
    const std::vector<std::string>& headers() const override { return headers_; }
    bool rewind() override;
    bool next(std::vector<std::string>& fields) override;
    std::string endProblem() const override;
    std::string name() const override { return file_.string(); }

    const std::filesystem::path& file() const { return file_; }
    DataEncoding encoding() const { return encoding_; }
    char delimiter() const { return delimiter_; }

private:
    bool open();

    std::filesystem::path file_;
    std::string ansiCodePage_;
    char delimiter_ = 0;
    DataEncoding encoding_ = DataEncoding::Utf8;
    std::string error_;
    std::vector<std::string> headers_;
    std::ifstream in_;
    std::unique_ptr<DataReader> reader_;
    std::vector<std::string> raw_;
};

// Rows given as name -> value pairs; the header is every name in the order first met, and
// a row without a name has an empty field there.
class ValueMapRows : public RowSource {
public:
    using Row = std::vector<std::pair<std::string, std::string>>;
    explicit ValueMapRows(std::vector<Row> rows, std::string name = "the rows given");

    const std::string& error() const override { return error_; }
    const std::vector<std::string>& headers() const override { return headers_; }
    bool rewind() override {
        at_ = 0;
        return true;
    }
    bool next(std::vector<std::string>& fields) override;
    std::string name() const override { return name_; }

private:
    std::vector<Row> rows_;
    std::string name_;
    std::string error_;
    std::vector<std::string> headers_;
    std::size_t at_ = 0;
};

}  // namespace tavrin
