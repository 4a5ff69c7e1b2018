#include "data/row_source.h"

#include <algorithm>

#include "common/text.h"

namespace tavrin {

DataFileRows::DataFileRows(std::filesystem::path file, const std::string& ansiCodePage, char delimiter)
    : file_(std::move(file)), ansiCodePage_(ansiCodePage), delimiter_(delimiter) {
    // The encoding is a property of the whole file, so it is settled by one pass first.
    if (!open()) return;
    bool utf8 = true;
    if (!reader_->hadByteOrderMark()) {
        bool first = true;
        while (utf8 && reader_->next(raw_)) {
            if (first && isBlankRecord(raw_)) continue;
            first = false;
            utf8 = std::all_of(raw_.begin(), raw_.end(), [](const std::string& f) { return isValidUtf8(f); });
        }
    }
    encoding_ = reader_->hadByteOrderMark() ? reader_->fieldEncoding() : utf8 ? DataEncoding::Utf8 : DataEncoding::Ansi;
    if (!rewind()) return;
    if (headers_.empty()) error_ = "The data file has no header line: " + file_.string();
}

bool DataFileRows::open() {
    reader_.reset();
    in_.close();
    in_.clear();
    in_.open(file_, std::ios::binary);
    if (!in_) {
        error_ = "Can't open data file " + file_.string();
        return false;
    }
    reader_ = std::make_unique<DataReader>(in_, delimiter_, encoding_ == DataEncoding::Ansi ? DataEncoding::Ansi
                                                                                             : DataEncoding::Utf8);
    delimiter_ = reader_->delimiter();
    return true;
}

bool DataFileRows::rewind() {
    if (!open()) return false;
    while (reader_->next(raw_) && isBlankRecord(raw_)) {}
    headers_.clear();
    if (raw_.empty() || isBlankRecord(raw_)) return true;
    for (const std::string& field : raw_)
        headers_.emplace_back(trimBlanks(fieldToUtf8(field, encoding_, ansiCodePage_)));
    raw_.clear();
    return true;
}

bool DataFileRows::next(std::vector<std::string>& fields) {
    if (!reader_ || !error_.empty()) return false;
    while (reader_->next(fields)) {
        if (isBlankRecord(fields)) continue;
        if (encoding_ == DataEncoding::Ansi)
            for (std::string& field : fields) field = fieldToUtf8(field, DataEncoding::Ansi, ansiCodePage_);
        return true;
    }
    return false;
}

std::string DataFileRows::endProblem() const {
    // An unclosed quote swallows every line after it into one value: the rows it hid would
    // silently not print.
    if (reader_ && reader_->unterminatedQuote())
        return "a quote opened on line " + std::to_string(reader_->line()) + " is never closed";
    return {};
}

ValueMapRows::ValueMapRows(std::vector<Row> rows, std::string name) : rows_(std::move(rows)), name_(std::move(name)) {
    for (const Row& row : rows_)
        for (const auto& [key, value] : row)
            if (std::find(headers_.begin(), headers_.end(), trimBlanks(key)) == headers_.end())
                headers_.emplace_back(trimBlanks(key));
    if (headers_.empty()) error_ = "No values in " + name_;
}

bool ValueMapRows::next(std::vector<std::string>& fields) {
    if (at_ >= rows_.size()) return false;
    const Row& row = rows_[at_++];
    fields.assign(headers_.size(), std::string());
    for (const auto& [key, value] : row) {
        const auto it = std::find(headers_.begin(), headers_.end(), trimBlanks(key));
        fields[static_cast<std::size_t>(it - headers_.begin())] = value;
    }
    return true;
}

}  // namespace tavrin
