#pragma once
// The labels a proof shows: the label as it is, or the label once per chosen row of a data
// file with the values and counters a data run gives that row. Proof output takes its labels
// from a ProofRows and never reads a data file itself, so how a row becomes values is
// decided in one place: the data run's own row values (RowValues).
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/data_check.h"
#include "data/row_source.h"
#include "document/label_document.h"
#include "printer/translation.h"

namespace tavrin {

struct ProofLabel {
    long long row = 0;  // the data row (1-based); 0 for the label without data
    // Each matched column's header and the value its slot got, as screen text (UTF-8).
    std::vector<std::pair<std::string, std::string>> values;

    // "Row 15: Name=Anna, Serial=0015"; "Row 15" without values; "" for no row.
    std::string caption() const;
};

class ProofRows {
public:
    virtual ~ProofRows() = default;
    // Gives `label` the next label's values and describes it; false after the last one, or
    // when the rows could not be read (error() then says why).
    virtual bool next(LabelDocument& label, ProofLabel& described) = 0;
    // How many labels next() gives in all, for progress.
    virtual long long count() const = 0;
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// The label with its own values, once.
class LabelOnlyRows : public ProofRows {
public:
    bool next(LabelDocument& label, ProofLabel& described) override;
    long long count() const override { return 1; }

private:
    bool given_ = false;
};

// The chosen rows of a data run's rows (a data file, or rows handed over), read once more
// as a stream after checkRows() has read them through. Every row before a chosen one is
// still walked, so its counters are those an uninterrupted run gives it.
class DataRunRows : public ProofRows {
public:
    DataRunRows(const LabelDocument& label, RowSource& source, DataCheck check, RowSelection rows,
                Translation translation);
    bool next(LabelDocument& label, ProofLabel& described) override;
    long long count() const override { return total_; }

private:
    RowSource& source_;
    DataCheck check_;
    RowSelection rows_;
    Translation translation_;
    RowValues values_;
    std::vector<std::string> fields_;
    bool started_ = false;
    long long given_ = 0, total_ = 0;
};

}  // namespace tavrin
