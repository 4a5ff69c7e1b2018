#pragma once
// What the commands that take a data file share: the configured translation, standard
// input kept in a temporary file (a run reads its rows more than once), the problems of a
// data check on standard error, and one row put into a label.
#include <filesystem>
#include <string>

#include "data/data_check.h"
#include "document/label_document.h"
#include "printer/translation.h"

namespace tavrin::cli {

// The character translation the editor's configuration chooses.
Translation configuredTranslation();

// A data file named on the command line; "-" is standard input, copied to a temporary
// file that is removed again.
class DataInput {
public:
    DataInput() = default;
    ~DataInput();
    DataInput(const DataInput&) = delete;
    DataInput& operator=(const DataInput&) = delete;
    // Empty on success, else what went wrong.
    std::string open(const std::string& argument);
    const std::filesystem::path& path() const { return path_; }
    bool fromStandardInput() const { return temporary_; }

private:
    std::filesystem::path path_;
    bool temporary_ = false;
};

// Each note and refusal of the check, one line each, on standard error.
void reportDataProblems(const DataCheck& check);

// Puts data row `row` into the label as a print of that row would have it, and reports the
// problems the rows up to it would be refused or noted for. Empty on success, else the
// message.
std::string applyDataRowTo(LabelDocument& document, const std::filesystem::path& data, long long row,
                           const Translation& translation);

// The largest row, run or count number the command line takes.
inline constexpr long long kMaxRowNumber = 1'000'000'000'000LL;

// Positive whole numbers from the command line.
bool parseCount(const std::string& text, long long& value);

}  // namespace tavrin::cli
