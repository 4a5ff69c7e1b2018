#include "proof/proof_rows.h"

#include "printer/screen_text.h"

namespace tavrin {

std::string ProofLabel::caption() const {
    if (row == 0) return {};
    std::string text = "Row " + std::to_string(row);
    for (std::size_t i = 0; i < values.size(); ++i)
        text += (i == 0 ? ": " : ", ") + values[i].first + "=" + values[i].second;
    return text;
}

bool LabelOnlyRows::next(LabelDocument&, ProofLabel& described) {
    if (given_) return false;
    given_ = true;
    described = {};
    return true;
}

DataFileRows::DataFileRows(const LabelDocument& label, DataSource source, DataCheck check, RowSelection rows,
                           Translation translation)
    : source_(std::move(source)),
      check_(std::move(check)),
      rows_(std::move(rows)),
      translation_(std::move(translation)),
      baseCounters_(label.counters),
      total_(check_.error.empty() ? rows_.countWithin(check_.rowCount) : 0) {}

bool DataFileRows::next(LabelDocument& label, ProofLabel& described) {
    if (!check_.error.empty()) {
        error_ = check_.error;
        return false;
    }
    if (given_ >= total_) return false;
    if (!reader_) {
        in_.open(source_.file, std::ios::binary);
        if (!in_) {
            error_ = "Can't open data file " + source_.file.string();
            return false;
        }
        reader_.emplace(in_, check_.delimiter, check_.encoding);
        while (reader_->next(fields_) && isBlankRecord(fields_)) {}  // the header
    }
    while (reader_->next(fields_)) {
        if (isBlankRecord(fields_)) continue;
        if (!rows_.contains(++row_)) continue;
        ++given_;
        applyRow(label, baseCounters_, check_.mapping, fields_, row_, check_.encoding, translation_);
        described.row = row_;
        described.values.clear();
        for (const ColumnMatch& m : check_.mapping.matches) {
            const auto slot = static_cast<std::size_t>(m.slot);
            const Variable& v = m.counter ? label.counters[slot] : label.variables[slot];
            described.values.emplace_back(m.header, printerToScreen(v.valueText(), translation_));
        }
        return true;
    }
    error_ = "The data file changed: fewer rows than before";
    return false;
}

}  // namespace tavrin
