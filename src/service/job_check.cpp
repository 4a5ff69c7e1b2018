#include "service/job_check.h"

#include <algorithm>

#include "data/data_check.h"

namespace tavrin::service {

ValueMapRows jobRowSource(const std::vector<ValueMapRows::Row>& rows, unsigned copies) {
    std::vector<ValueMapRows::Row> withCopies = rows;
    for (auto& row : withCopies) row.emplace_back(kCopiesColumn, std::to_string(copies));
    return ValueMapRows(std::move(withCopies), "the job's rows");
}

std::vector<std::string> jobRefusals(const LabelDocument& label, const std::vector<ValueMapRows::Row>& rows,
                                     unsigned copies, const Translation& translation) {
    std::vector<std::string> refusals;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // A row of nothing but empty values would be skipped as a blank record, and every
        // row after it would print with the wrong number.
        if (std::all_of(rows[i].begin(), rows[i].end(), [](const auto& v) { return v.second.empty(); }))
            refusals.push_back("Row " + std::to_string(i + 1) + " holds no value");
    }
    if (!refusals.empty()) return refusals;
    ValueMapRows source = jobRowSource(rows, copies);
    const DataCheck check = checkRows(source, label, translation, kCopiesColumn);
    if (!check.error.empty()) return {check.error};
    for (const std::string& name : check.mapping.unmatchedColumns)
        refusals.push_back("\"" + name + "\" matches no variable or counter of the label (by prompt or slot name)");
    for (const DataProblem& problem : check.problems)
        if (problem.kind == ProblemKind::Refusal) refusals.push_back(problem.text);
    return refusals;
}

}  // namespace tavrin::service
