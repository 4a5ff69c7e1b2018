#pragma once
// Whether a label takes a job's rows, decided as a data file's run decides it, before the
// job is accepted: the same matching of names to prompts and slots, the same refusals, and
// besides them every name that feeds nothing (a data file may carry columns for other
// uses, a job's row has no reason to) and every row without a value.
#include <string>
#include <vector>

#include "data/row_source.h"
#include "document/label_document.h"
#include "printer/translation.h"

namespace tavrin::service {

// The column the job's copies travel in; a row's own names cannot hold control characters,
// so none of them meets it.
inline constexpr const char* kCopiesColumn = "\x1F" "copies";

// The job's rows as a run reads them, each with the job's copies.
ValueMapRows jobRowSource(const std::vector<ValueMapRows::Row>& rows, unsigned copies);

// Every reason the label cannot print the rows as asked; empty when it can.
std::vector<std::string> jobRefusals(const LabelDocument& label, const std::vector<ValueMapRows::Row>& rows,
                                     unsigned copies, const Translation& translation);

}  // namespace tavrin::service
