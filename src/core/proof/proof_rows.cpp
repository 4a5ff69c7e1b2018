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

DataRunRows::DataRunRows(const LabelDocument& label, RowSource& source, DataCheck check, RowSelection rows,
                         Translation translation)
    : source_(source),
      check_(std::move(check)),
      rows_(std::move(rows)),
      translation_(std::move(translation)),
      values_(label, check_.mapping, translation_),
      total_(check_.error.empty() ? rows_.countWithin(check_.rowCount) : 0) {}

bool DataRunRows::next(LabelDocument& label, ProofLabel& described) {
    if (!check_.error.empty()) {
        error_ = check_.error;
        return false;
    }
    if (given_ >= total_) return false;
    if (!started_) {
        started_ = true;
        if (!source_.rewind()) {
            error_ = source_.error().empty() ? "Can't read " + source_.name() : source_.error();
            return false;
        }
    }
    while (source_.next(fields_)) {
        values_.next(fields_, label);
        if (!rows_.contains(values_.row())) continue;
        ++given_;
        described.row = values_.row();
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
